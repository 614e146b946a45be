#include "FEN/ApplicationInstanceSingleton.h"

#include "platform/system/InstanceFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace CV {
namespace FEN {

namespace {

// Instance id -> descriptor holding its lock, for the life of the process.
std::map<std::string, int>& heldLocks()
{
    static std::map<std::string, int> s_locks;
    return s_locks;
}

// A check that cannot be made finds no other copy, and says so.
bool sayNoCheckPossible(std::string const& reason)
{
    std::fprintf(stderr, "Cannot tell whether another copy is running: %s; starting anyway.\n", reason.c_str());
    std::fflush(stderr);
    return false;
}

// The user's own lock file at path, made when missing; a link, a FIFO or
// anything else in its place is not opened or not taken (-1, and why).
int openOwnLockFile(std::string const& path, std::string& why)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        why = path + ": " + (errno == ELOOP ? "is a link" : std::strerror(errno));
        return -1;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0)
        why = path + ": " + std::strerror(errno);
    else if (!S_ISREG(info.st_mode))
        why = path + ": is not a regular file";
    else if (info.st_uid != ::geteuid())
        why = path + ": belongs to user " + std::to_string(info.st_uid);
    else
        return fd;
    ::close(fd);
    return -1;
}

} // namespace

std::string ApplicationInstanceSingleton::lockFilePath(std::string const& name)
{
    return platform::InstanceFolder::find(name).lockFile();
}

std::string ApplicationInstanceSingleton::channelPath(std::string const& name)
{
    return platform::InstanceFolder::find(name).socket();
}

bool ApplicationInstanceSingleton::hasConflictingInstance(std::string const& name, Mode)
{
    if (name.empty())
        return false;
    if (heldLocks().count(name) != 0)
        return false;
    const platform::InstanceFolder folder = platform::InstanceFolder::find(name);
    if (!folder.usable())
        return sayNoCheckPossible(folder.problem());
    std::string why;
    const int fd = openOwnLockFile(folder.lockFile(), why);
    if (fd < 0)
        return sayNoCheckPossible(why);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return true;
        return sayNoCheckPossible(folder.lockFile() + ": " + std::strerror(error));
    }
    heldLocks()[name] = fd;
    return false;
}

} // namespace FEN
} // namespace CV
