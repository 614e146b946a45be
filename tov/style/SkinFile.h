#pragma once
// A file of a skin, read whole into memory. Every skin file is read this
// way: only a regular file, opened without waiting (a fifo or a device is
// refused at once), of at most kMaxBytes measured in 64 bits; an item of a
// container file ("pack.bin<item") likewise from a regular container file.
//
// A file of a skin folder must lead into the folder once every symbolic link
// on the way is resolved, in the name and in the folder's own path alike; it
// is then opened by that real path without following a link put in its
// place meanwhile. A sheet imported by its full path is read where it lies.
#include "TOV/SkinFileOutcome.h"

#include "BAS/MemoryStream.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace CV::TOV {

class SkinFile : public BAS::MemoryStream {
public:
    using eOutcome = SkinFileOutcome;

    struct tOpened {
        eOutcome outcome = eOutcome::eMissing;
        std::string problem; // why an existing file was not read (eUnreadable)
        std::filesystem::path realPath; // of the file, once found
        std::shared_ptr<SkinFile> file; // when read (eRead)
    };

    // No skin file is read beyond this size.
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;

    // Reads the file the POSIX path item names when it lies inside folder,
    // or the item of it that subpath names when subpath is not empty.
    static tOpened open(std::filesystem::path const& item, std::filesystem::path const& folder,
                        std::string const& subpath = std::string());
    // Reads the file the POSIX path names (or the item subpath names in it)
    // wherever it lies, symbolic links followed.
    static tOpened openAnywhere(std::filesystem::path const& path, std::string const& subpath = std::string());
    // Whether item (a real path) lies below folder (a real path).
    static bool liesBelow(std::filesystem::path const& item, std::filesystem::path const& folder);

    explicit SkinFile(std::string bytes);
    SkinFile(SkinFile const&) = delete;
    SkinFile& operator=(SkinFile const&) = delete;

private:
    enum class eLinks { eFollow, eRefuse };
    static void read(tOpened& opened, std::string const& subpath, eLinks links);
    static bool readItem(std::string const& container, std::string const& subpath, std::string& bytes, tOpened& opened);

    std::string m_bytes;
};

} // namespace CV::TOV
