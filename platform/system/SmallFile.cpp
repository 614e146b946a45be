#include "platform/system/SmallFile.h"

#include "platform/system/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

SmallFile::Outcome failed(SmallFile::Failure failure, std::size_t maxBytes, int systemError = 0)
{
    return SmallFile::Outcome{failure, systemError, maxBytes};
}

SmallFile::Outcome systemFailure(int error, std::size_t maxBytes)
{
    const bool missing = error == ENOENT || error == ENOTDIR;
    return failed(missing ? SmallFile::Failure::Missing : SmallFile::Failure::Unreadable, maxBytes, error);
}

// Opens the file without waiting for a writer and checks that it is a
// regular file of at most maxBytes; the file is kept open in file and its
// size put in size.
SmallFile::Outcome openRegular(const std::string& path, std::size_t maxBytes, SmallFile::Links links,
                               FileDescriptor& file, std::size_t& size)
{
    // Non-blocking, so that opening a fifo does not wait for a writer.
    const int noFollow = links == SmallFile::Links::Refuse ? O_NOFOLLOW : 0;
    file.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | noFollow));
    if (file.get() < 0) {
        if (errno == ELOOP && links == SmallFile::Links::Refuse)
            return failed(SmallFile::Failure::Link, maxBytes, errno);
        return systemFailure(errno, maxBytes);
    }
    struct stat info { };
    if (::fstat(file.get(), &info) != 0)
        return systemFailure(errno, maxBytes);
    if (!S_ISREG(info.st_mode))
        return failed(SmallFile::Failure::NotRegular, maxBytes);
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        return failed(SmallFile::Failure::TooLarge, maxBytes);
    size = static_cast<std::size_t>(info.st_size);
    return SmallFile::Outcome{SmallFile::Failure::None, 0, maxBytes};
}

} // namespace

SmallFile::Outcome SmallFile::check(const std::string& path, std::size_t maxBytes, Links links)
{
    FileDescriptor file(-1);
    std::size_t size = 0;
    return openRegular(path, maxBytes, links, file, size);
}

SmallFile::Outcome SmallFile::read(const std::string& path, std::size_t maxBytes, std::string& text, Links links)
{
    text.clear();
    FileDescriptor file(-1);
    std::size_t size = 0;
    const Outcome opened = openRegular(path, maxBytes, links, file, size);
    if (!opened)
        return opened;

    std::string content;
    content.reserve(size);
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
