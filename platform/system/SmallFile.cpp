#include "platform/system/SmallFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

SmallFile::Outcome failed(SmallFile::Failure failure, std::size_t maxBytes, int systemError = 0)
{
    return SmallFile::Outcome{failure, systemError, maxBytes};
}

SmallFile::Outcome systemFailure(int error, std::size_t maxBytes)
{
    const bool missing = error == ENOENT || error == ENOTDIR;
    return failed(missing ? SmallFile::Failure::Missing : SmallFile::Failure::Unreadable, maxBytes, error);
}

} // namespace

SmallFile::Outcome SmallFile::read(const std::string& path, std::size_t maxBytes, std::string& text, Links links)
{
    text.clear();
    // Non-blocking, so that opening a fifo does not wait for a writer.
    const int noFollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | noFollow));
    if (file.get() < 0) {
        if (errno == ELOOP && links == Links::Refuse)
            return failed(Failure::Link, maxBytes, errno);
        return systemFailure(errno, maxBytes);
    }
    struct stat info { };
    if (::fstat(file.get(), &info) != 0)
        return systemFailure(errno, maxBytes);
    if (!S_ISREG(info.st_mode))
        return failed(Failure::NotRegular, maxBytes);
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        return failed(Failure::TooLarge, maxBytes);

    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[kChunk];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemFailure(errno, maxBytes);
        }
        if (got == 0)
            break;
        if (content.size() + static_cast<std::size_t>(got) > maxBytes)
            return failed(Failure::TooLarge, maxBytes);
        content.append(buffer, static_cast<std::size_t>(got));
    }
    text = std::move(content);
    return Outcome{Failure::None, 0, maxBytes};
}

std::string SmallFile::Outcome::reason() const
{
    switch (failure) {
    case Failure::None: return std::string();
    case Failure::NotRegular: return "not a regular file";
    case Failure::TooLarge: return "larger than " + std::to_string(maxBytes) + " bytes";
    case Failure::Link: return "a symbolic link";
    case Failure::Missing:
    case Failure::Unreadable: break;
    }
    return std::strerror(systemError);
}

} // namespace platform
