#include "FEN/ApplicationInstanceSingleton.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// The id as one file-name component.
std::string fileNameOf(std::string const& name)
{
    std::string safe;
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
            c == '-' || c == '_';
        safe += plain ? c : '_';
    }
    return safe + ".lock";
}

} // namespace

std::string ApplicationInstanceSingleton::lockFilePath(std::string const& name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/')
        return std::string(runtime) + "/" + fileNameOf(name);
    const char* temporary = std::getenv("TMPDIR");
    std::string folder = temporary != nullptr && *temporary == '/' ? temporary : "/tmp";
    return folder + "/" + fileNameOf(name + "-" + std::to_string(getuid()));
}

std::string ApplicationInstanceSingleton::channelPath(std::string const& name)
{
    const std::string lock = lockFilePath(name);
    const std::string stem = lock.substr(0, lock.size() - std::string(".lock").size());
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/')
        return stem + ".socket";
    // The temporary folder is everyone's: the socket lies in a folder of the
    // user's own inside it.
    return stem + "/activation.socket";
}

bool ApplicationInstanceSingleton::hasConflictingInstance(std::string const& name, Mode)
{
    if (name.empty())
        return false;
    if (heldLocks().count(name) != 0)
        return false;
    const std::string path = lockFilePath(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false; // no lock file possible: nothing can conflict with us
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }
    heldLocks()[name] = fd;
    return false;
}

} // namespace FEN
} // namespace CV
