#include "platform/system/InstanceChannel.h"

#include "platform/runloop/MainLoop.h"
#include "platform/system/InstanceFolder.h"

#include <glib-unix.h>
#include <glib.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace platform {

namespace {

constexpr const char* kRequest = "activate";
// Longer datagrams are no request: they are read and dropped.
constexpr std::size_t kMaxMessage = 16 + InstanceChannel::kMaxStartupId;
// How often a sender looks again for a listener or for room.
constexpr auto kRetryInterval = std::chrono::milliseconds(20);
// Datagrams read in one turn of the loop: more than the socket queues by
// default, few enough that a flood of them never holds the loop for long.
constexpr int kMaxReadsPerTurn = 32;

// The folder that holds path ("" for a bare name).
std::string folderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? "/" : path.substr(0, slash);
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
    , m_waiting(std::make_shared<bool>(false))
{
    std::string why;
    if (!path.empty() && !listen(why)) {
        std::fprintf(stderr, "Later starts cannot bring this copy forward: %s.\n", why.c_str());
        std::fflush(stderr);
    }
}

bool InstanceChannel::listen(std::string& why)
{
    sockaddr_un address;
    if (!InstanceFolder::makePrivate(folderOf(m_path), why))
        return false;
    if (!addressOf(m_path, address)) {
        why = m_path + ": too long a name for a socket";
        return false;
    }
    m_socket = datagramSocket();
    if (m_socket < 0) {
        why = std::string("no socket: ") + std::strerror(errno);
        return false;
    }
    ::unlink(m_path.c_str());
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        why = m_path + ": " + std::strerror(errno);
        ::close(m_socket);
        m_socket = -1;
        return false;
    }
    // Below the loop's own work and the windows' repaints: a flood of
    // requests is read only when the loop has nothing more urgent to do.
    m_watch = g_unix_fd_add_full(
        G_PRIORITY_DEFAULT_IDLE, m_socket, G_IO_IN,
        +[](int, GIOCondition, gpointer channel) {
            static_cast<InstanceChannel*>(channel)->receive();
            return gboolean(G_SOURCE_CONTINUE);
        },
        this, nullptr);
    return true;
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

// The waiting datagrams, a bounded number of them. A request goes to the
// handler in its own turn of the loop; while one waits for its turn, the
// requests that follow it are dropped.
void InstanceChannel::receive()
{
    char buffer[kMaxMessage + 1];
    for (int reads = 0; reads < kMaxReadsPerTurn; ++reads) {
        const ssize_t length = ::recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC);
        if (length < 0)
            return;
        std::string startupId;
        if (std::size_t(length) > kMaxMessage || !parseRequest(std::string(buffer, std::size_t(length)), startupId))
            continue;
        if (*m_waiting)
            continue;
        *m_waiting = true;
        MainLoop::instance().post([handler = m_handler, waiting = m_waiting, startupId] {
            *waiting = false;
            handler(startupId);
        });
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
    std::string why;
    if (!InstanceFolder::isPrivate(folderOf(path), why) || !addressOf(path, address))
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
