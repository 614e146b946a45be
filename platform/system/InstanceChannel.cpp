#include "platform/system/InstanceChannel.h"

#include "platform/runloop/MainLoop.h"

#include <glib-unix.h>
#include <glib.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace platform {

namespace {

constexpr const char* kRequest = "activate";
// Longer datagrams are no request: they are read and dropped.
constexpr std::size_t kMaxMessage = 16 + InstanceChannel::kMaxStartupId;
// How often a sender looks again for a listener or for room.
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

// The folder that holds path ("" for a bare name).
std::string folderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether the folder that holds path belongs to the user and no one else
// may write to it (a link to a folder is not taken).
bool isInPrivateFolder(const std::string& path)
{
    const std::string folder = folderOf(path);
    if (folder.empty())
        return false;
    struct stat info;
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
        (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// false when path is too long for a socket's address.
bool addressOf(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

bool isValidStartupId(const std::string& id)
{
    if (id.empty() || id.size() > InstanceChannel::kMaxStartupId)
        return false;
    for (char c : id)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

int datagramSocket()
{
    return ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

} // namespace

InstanceChannel::InstanceChannel(const std::string& path, Handler handler)
    : m_path(path)
    , m_handler(std::move(handler))
{
    sockaddr_un address;
    // A folder missing from its parent is made, for the user alone; one that
    // someone else made first is not taken.
    const std::string folder = folderOf(path);
    if (!folder.empty())
        ::mkdir(folder.c_str(), 0700);
    if (!isInPrivateFolder(path) || !addressOf(path, address))
        return;
    m_socket = datagramSocket();
    if (m_socket < 0)
        return;
    ::unlink(path.c_str());
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(m_socket);
        m_socket = -1;
        return;
    }
    m_watch = g_unix_fd_add(
        m_socket, G_IO_IN,
        +[](int, GIOCondition, gpointer channel) {
            static_cast<InstanceChannel*>(channel)->receive();
            return gboolean(G_SOURCE_CONTINUE);
        },
        this);
}

InstanceChannel::~InstanceChannel()
{
    if (m_watch != 0)
        g_source_remove(m_watch);
    if (m_socket < 0)
        return;
    ::close(m_socket);
    ::unlink(m_path.c_str());
}

// Every waiting datagram; each request goes to the handler once the loop
// is idle, in its own turn of the loop.
void InstanceChannel::receive()
{
    char buffer[kMaxMessage + 1];
    for (;;) {
        const ssize_t length = ::recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC);
        if (length < 0)
            return;
        std::string startupId;
        if (std::size_t(length) > kMaxMessage || !parseRequest(std::string(buffer, std::size_t(length)), startupId))
            continue;
        MainLoop::instance().post([handler = m_handler, startupId] { handler(startupId); });
    }
}

bool InstanceChannel::parseRequest(const std::string& message, std::string& startupId)
{
    const std::size_t word = std::strlen(kRequest);
    if (message.compare(0, word, kRequest) != 0)
        return false;
    if (message.size() == word) {
        startupId.clear();
        return true;
    }
    if (message[word] != ' ' || !isValidStartupId(message.substr(word + 1)))
        return false;
    startupId = message.substr(word + 1);
    return true;
}

bool InstanceChannel::requestActivation(const std::string& path, const std::string& startupId,
                                        std::chrono::milliseconds limit)
{
    sockaddr_un address;
    if (!isInPrivateFolder(path) || !addressOf(path, address))
        return false;
    const int sender = datagramSocket();
    if (sender < 0)
        return false;
    const std::string message = isValidStartupId(startupId) ? std::string(kRequest) + " " + startupId : kRequest;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool delivered = false;
    for (;;) {
        delivered = ::sendto(sender, message.data(), message.size(), MSG_NOSIGNAL,
                             reinterpret_cast<sockaddr*>(&address), sizeof address) == ssize_t(message.size());
        // No listener yet (it may be starting) or no room: try again.
        const bool retry = errno == ENOENT || errno == ECONNREFUSED || errno == EAGAIN || errno == EINTR;
        if (delivered || !retry || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kRetryInterval);
    }
    ::close(sender);
    return delivered;
}

} // namespace platform
