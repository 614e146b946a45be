#pragma once
// How a later launch of a program reaches the copy that runs already: the
// running copy listens on a Unix datagram socket in a folder only its user
// can write to; a later copy sends it one short request to come forward
// and ends. A request is the word "activate", optionally followed by one
// space and the later launch's startup-notification id (1 to kMaxStartupId
// printable ASCII characters without spaces); anything else that arrives
// is ignored. Requests are handed over on the main loop, each in its own
// turn; while one waits for its turn, the requests that follow it are
// dropped, so a flood of them comes through as a few. The socket is read
// when the loop has nothing more urgent to do (timers, posted work, the
// windows' repaints come first).
//
//   platform::InstanceChannel channel(path, [](const std::string& startupId) { ... });
//   platform::InstanceChannel::requestActivation(path, startupId, std::chrono::seconds(1));
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class InstanceChannel {
public:
    using Handler = std::function<void(const std::string& startupId)>;

    static constexpr std::size_t kMaxStartupId = 200;

    // Listens at path (a socket left there by an earlier process is
    // replaced) when the folder of path is a folder of the user's own that
    // no one else may write to (InstanceFolder::makePrivate: a missing
    // folder of path, not its parents, is made for the user alone).
    // Otherwise listens nowhere and says why in one line on standard error;
    // an empty path listens nowhere without a word.
    InstanceChannel(const std::string& path, Handler handler);
    // Stops listening and removes the socket.
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    bool listening() const { return m_socket >= 0; }

    // Sends the request to come forward to whoever listens at path; true
    // once it was delivered. Waits at most limit for a listener to appear
    // or to make room; never sends into a folder others may write to, nor
    // a startup id that is not a valid one (the request goes without it).
    static bool requestActivation(const std::string& path, const std::string& startupId,
                                  std::chrono::milliseconds limit);

    // The startup id a request carries; false when it is no request.
    static bool parseRequest(const std::string& message, std::string& startupId);

private:
    // Binds the socket and watches it; false, and why, when it cannot.
    bool listen(std::string& why);
    void receive();

    std::string m_path;
    Handler m_handler;
    // Whether a request waits for its turn on the main loop.
    std::shared_ptr<bool> m_waiting;
    int m_socket = -1;
    unsigned m_watch = 0;
};

} // namespace platform
