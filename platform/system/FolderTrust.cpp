#include "platform/system/FolderTrust.h"

#include "platform/system/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace platform {

namespace {

// Looked at, not read: a folder the user may only pass through is judged too.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

int openFolderAt(int parent, const char* name, int flags)
{
    int descriptor;
    do
        descriptor = ::openat(parent, name, kFolderFlags | flags);
    while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

FolderTrust::Verdict trusted()
{
    return FolderTrust::Verdict{true, std::string()};
}

FolderTrust::Verdict distrusted(std::string reason)
{
    return FolderTrust::Verdict{false, std::move(reason)};
}

FolderTrust::Verdict systemFailure(int error)
{
    return distrusted(std::strerror(error));
}

std::string octalMode(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
    return text;
}

bool ownedByUserOrRoot(const struct stat& info, uid_t user)
{
    return info.st_uid == user || info.st_uid == 0;
}

bool othersMayWrite(const struct stat& info)
{
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// Anyone else may add files to a folder others can write to, sticky or not.
FolderTrust::Verdict judgeFolder(const struct stat& info, uid_t user)
{
    if (!ownedByUserOrRoot(info, user))
        return distrusted("it belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    if (othersMayWrite(info))
        return distrusted("others may write to it (mode " + octalMode(info.st_mode) + ")");
    return trusted();
}

// The entries of a sticky folder can be renamed or removed only by their
// owners and the folder's.
FolderTrust::Verdict judgeHolder(const struct stat& info, uid_t user)
{
    if (!ownedByUserOrRoot(info, user))
        return distrusted("the folder holding it belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    if (othersMayWrite(info) && (info.st_mode & S_ISVTX) == 0)
        return distrusted("others may change the folder holding it (mode " + octalMode(info.st_mode) + ")");
    return trusted();
}

// The open folder holder (-1 when it could not be opened, errno set).
FolderTrust::Verdict judgeHolderAt(int holder, uid_t user)
{
    struct stat info { };
    if (holder < 0 || ::fstat(holder, &info) != 0)
        return systemFailure(errno);
    return judgeHolder(info, user);
}

FolderTrust::Verdict judgeLink(const struct stat& link, uid_t user)
{
    if (!ownedByUserOrRoot(link, user))
        return distrusted("it is a link that belongs to another user (uid " + std::to_string(link.st_uid) + ")");
    return trusted();
}

// The folder name in the open folder holder, a symbolic link judged by its
// owner and then by the folder it leads to.
FolderTrust::Verdict judgeEntry(int holder, const std::string& name, uid_t user)
{
    FileDescriptor folder(openFolderAt(holder, name.c_str(), O_NOFOLLOW));
    if (folder.get() < 0) {
        const int error = errno;
        struct stat link { };
        if (::fstatat(holder, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(link.st_mode))
            return systemFailure(error);
        if (FolderTrust::Verdict verdict = judgeLink(link, user); !verdict)
            return verdict;
        FileDescriptor target(openFolderAt(holder, name.c_str(), 0));
        struct stat info { };
        if (target.get() < 0 || ::fstat(target.get(), &info) != 0)
            return systemFailure(errno);
        return judgeFolder(info, user);
    }
    struct stat info { };
    if (::fstat(folder.get(), &info) != 0)
        return systemFailure(errno);
    return judgeFolder(info, user);
}

} // namespace

FolderTrust::Verdict FolderTrust::judge(const std::string& path)
{
    return judge(path, ::geteuid());
}

FolderTrust::Verdict FolderTrust::judge(const std::string& path, uid_t user)
{
    std::filesystem::path folder(path);
    if (!folder.has_filename()) // a trailing separator
        folder = folder.parent_path();
    const std::string name = folder.has_filename() ? folder.filename().string() : std::string(".");
    const std::filesystem::path holderPath = folder.has_parent_path() ? folder.parent_path() : ".";
    FileDescriptor holder(openFolderAt(AT_FDCWD, holderPath.c_str(), 0));
    if (Verdict verdict = judgeHolderAt(holder.get(), user); !verdict)
        return verdict;
    return judgeEntry(holder.get(), name, user);
}

FolderTrust::Verdict FolderTrust::judgeHolder(const std::string& path)
{
    FileDescriptor holder(openFolderAt(AT_FDCWD, path.c_str(), 0));
    return judgeHolderAt(holder.get(), ::geteuid());
}

} // namespace platform
