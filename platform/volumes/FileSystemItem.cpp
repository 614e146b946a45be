#include "platform/volumes/FileSystemItem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace platform::volumes {

namespace {

constexpr uint32_t kNoCode = 0x3F3F3F3Fu;

uint32_t codeAt(const unsigned char* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

bool hasExtension(const std::string& folder)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string leaf = path.substr(path.rfind('/') + 1);
    const std::size_t dot = leaf.rfind('.');
    return dot != std::string::npos && dot >= 1;
}

} // namespace

bool FileSystemItem::makeRef(const std::string& posixPath, FSRef& ref, bool* isDirectory)
{
    if (posixPath.empty())
        return false;
    std::unique_ptr<char, void (*)(void*)> canonical(::realpath(posixPath.c_str(), nullptr), ::free);
    if (!canonical)
        return false;
    struct stat info { };
    if (::stat(canonical.get(), &info) != 0)
        return false;
    ref.path = canonical.get();
    if (isDirectory)
        *isDirectory = S_ISDIR(info.st_mode);
    return true;
}

bool FileSystemItem::getCatalogInfo(const FSRef& ref, FSCatalogInfo& info)
{
    struct stat status { };
    if (ref.path.empty() || ::stat(ref.path.c_str(), &status) != 0)
        return false;
    info = FSCatalogInfo();
    if (S_ISDIR(status.st_mode))
        info.nodeFlags |= FSCatalogInfo::kNodeIsDirectoryMask;
    return true;
}

bool FileSystemItem::getPackageInfo(const std::string& folder, uint32_t& packageType, uint32_t& packageCreator)
{
    if (!hasExtension(folder) || !isFolder(folder + "/Contents"))
        return false;
    packageType = kNoCode;
    packageCreator = kNoCode;
    std::unique_ptr<FILE, int (*)(FILE*)> pkgInfo(std::fopen((folder + "/Contents/PkgInfo").c_str(), "rb"),
                                                  std::fclose);
    unsigned char codes[8];
    if (pkgInfo && std::fread(codes, 1, sizeof codes, pkgInfo.get()) == sizeof codes) {
        packageType = codeAt(codes);
        packageCreator = codeAt(codes + 4);
    }
    return true;
}

bool FileSystemItem::isFolder(const std::string& posixPath)
{
    struct stat info { };
    return !posixPath.empty() && ::stat(posixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileSystemItem::createFile(const std::string& posixPath)
{
    const int fd = ::open(posixPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace platform::volumes
