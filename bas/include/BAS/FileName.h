#pragma once
// The name of a file, folder or volume: its full path in colon form
// ("Volume:folder:file.ext", a folder's path ending with ':') together with
// its parts, a kind (mode) and a file type from the FileTypeManager.
//
// Parsing ("splitting") asks the file system: a path naming an existing
// item is classified by that item (folders become directory names ending
// with ':', packages become files); any other path is split by its text.
// Volumes are those of the platform's volume list: the root folder is the
// volume "Computer", other mounts are named by their mount point's last
// component. Names are bytes: they are neither normalised nor required to
// be UTF-8 (a text that is not UTF-8 just never equals a volume name).
//
// Parts after splitting: volume + directory + name + extension == full
// path for files and folders. A path without any ':' has an empty
// directory (and no volume); a volume name has the directory ":". The
// relative flag is set when a file or folder name lacks its volume or its
// directory. A '<' after the last ':' starts the container subpath, kept
// apart from the full path for files.
#include "BAS/FileTypeDescr.h"
#include "platform/volumes/FSCatalogInfo.h"
#include "platform/volumes/FSRef.h"

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <string>

namespace CV {
namespace BAS {

class FileName {
public:
    enum eMode : int32_t { eNone = 0, eFile = 1, eDirectory = 2, eVolume = 3 };
    enum eWithVolume : int32_t { eWithoutVolume = 0, eWithVolumeInPath = 1 };

    static constexpr char DIR_SEPARATOR = ':';

    FileName() = default;
    FileName(const std::string& fullPath);
    FileName(const char* fullPath);
    // From a POSIX path; one ending with '/' names a folder.
    explicit FileName(const boost::filesystem::path& posixPath);
    FileName(const FileName&) = default;
    FileName& operator=(const FileName&) = default;
    ~FileName() = default;

    // Takes the text as the full path (mode reset) and splits it; true.
    bool setFull(const std::string& fullPath);
    // Replaces volume and directory by path (withVolume 0: path lacks the
    // volume, the current one is kept), keeps name and extension, drops the
    // subpath and splits again.
    void setPath(const std::string& path, eWithVolume withVolume);
    // True when the type differs from the previous one.
    bool setType(const FileTypeDescr* type);
    void clear();
    // Splits the full path into the parts and classifies it.
    void init();
    // Classifies the full path from the item the reference names; without
    // catalogue information it is read first (false when that fails).
    bool initFromFSRef(const FSRef& ref, FSCatalogInfo* catalogInfo);

    static bool getFullFromFSRef(const FSRef& ref, std::string& fullPath);
    // Moves a '<' after the last ':' and everything behind it into subpath.
    static void stripSubpath(std::string& path, std::string& subpath);

    // The reference of the item the name's POSIX path names (symbolic links
    // are always followed; there are no aliases). isDirectory is written
    // when given.
    bool getFSRef(FSRef& ref, bool resolveAlias, unsigned char* isDirectory) const;
    // The POSIX path, "" when the name has none (unknown volume, empty name).
    // With resolveAlias, the canonical path of an existing item. The bytes
    // are those of the name either way.
    std::string getSystemPath(bool resolveAlias, bool fileSystemRepresentation) const;
    boost::filesystem::path getFilesystemPath() const;

    // The colon path of a POSIX path, "" on failure.
    static std::string POSIX2HFSPath(const unsigned char* posixPath);

    std::string full;
    std::string volume;
    std::string directory;
    std::string name;
    std::string extension;
    std::string subpath;
    const FileTypeDescr* type = nullptr;
    eMode mode = eNone;
    bool relative = false;

private:
    void emptyParts();
    bool classifyAsVolumeName();
    void splitPath(const std::string& path);
    void splitFileText(const std::string& path);
    void markRelative();
};

} // namespace BAS
} // namespace CV
