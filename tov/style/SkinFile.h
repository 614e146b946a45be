#pragma once
// A file of a skin folder, read whole into memory. The name must lead into
// the folder once every symbolic link on the way is resolved, in the name
// and in the folder's own path alike; the file is then opened by that real
// path without following a link put in its place meanwhile, and read only
// when it is a regular file.
#include "BAS/MemoryStream.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace CV::TOV {

class SkinFile : public BAS::MemoryStream {
public:
    enum class eOutcome { eRead, eFound, eMissing, eOutside, eUnreadable };

    struct tOpened {
        eOutcome outcome = eOutcome::eMissing;
        std::string problem; // why an existing file was not read
        std::filesystem::path realPath; // of the file, once found
        std::shared_ptr<SkinFile> file; // when read (eRead)
    };

    // No skin file is read beyond this size.
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;

    // Reads the file the POSIX path item names when it lies inside folder;
    // without read, only finds it (eFound).
    static tOpened open(std::filesystem::path const& item, std::filesystem::path const& folder, bool read = true);
    // Whether item (a real path) lies below folder (a real path).
    static bool liesBelow(std::filesystem::path const& item, std::filesystem::path const& folder);

    explicit SkinFile(std::string bytes);
    SkinFile(SkinFile const&) = delete;
    SkinFile& operator=(SkinFile const&) = delete;

private:
    std::string m_bytes;
};

} // namespace CV::TOV
