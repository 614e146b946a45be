#include "BAS/FileManager.h"

#include "BAS/FileManagerContainerCase.h"
#include "platform/volumes/FileSystemItem.h"

#include <sys/stat.h>
#include <unistd.h>

namespace CV {
namespace BAS {

using platform::volumes::FileSystemItem;

namespace {

constexpr std::size_t kCurrentFolderCapacity = 4096; // PATH_MAX

// The folder holding path ("/" for items in the root folder), "" when the
// path has no '/'.
std::string parentFolderOf(std::string path)
{
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

bool FileManager::createFile(const FileName& name)
{
    if (name.mode != FileName::eFile || !name.type)
        return false;
    FSRef ref;
    unsigned char isDirectory = 0;
    if (name.getFSRef(ref, false, &isDirectory)) {
        if (isDirectory || name.subpath.empty())
            return true;
        if (FileManagerContainerCase::isCreated(name))
            return true;
    }
    const std::string path = name.getSystemPath(false, true);
    const std::string parent = parentFolderOf(path);
    if (parent.empty() || !FileSystemItem::isFolder(parent))
        return false;
    // Linux keeps no type or creator codes: the file is all there is.
    return FileSystemItem::createFile(path);
}

int64_t FileManager::getFileSize(const FileName& name)
{
    if (name.mode == FileName::eFile && !name.subpath.empty())
        return FileManagerContainerCase::getItemSize(name);
    struct stat info { };
    const std::string path = name.getSystemPath(false, true);
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return 0;
    return int64_t(info.st_size);
}

bool FileManager::existsDir(const FileName& name)
{
    if (name.full.empty())
        return false;
    FileName folder;
    folder.setPath(name.volume + name.directory, FileName::eWithVolumeInPath);
    FSRef ref;
    unsigned char isDirectory = 0;
    return folder.getFSRef(ref, true, &isDirectory) && isDirectory;
}

bool FileManager::getCurDir(FileName& name)
{
    name.clear();
    char buffer[kCurrentFolderCapacity];
    if (!::getcwd(buffer, sizeof buffer))
        return false;
    const std::string colon = FileName::POSIX2HFSPath(reinterpret_cast<const unsigned char*>(buffer));
    name.setPath(colon, FileName::eWithVolumeInPath);
    return true;
}

} // namespace BAS
} // namespace CV
