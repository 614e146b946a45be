#pragma once
// An X server of the test's own: Xvfb on a free display number, picked by
// the server itself (-displayfd), stopped when the object goes. Tests that
// need a desktop skip when Xvfb is not installed.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace VarantoTest {

class PrivateDisplay {
public:
    explicit PrivateDisplay(std::string const& screen = "1024x768x24")
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::string const geometry = screen;
        char const* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", geometry.c_str(), "-nolisten", "tcp",
            "-noreset", nullptr};
        pid_t pid = -1;
        int const spawned = ::posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned == 0) {
            m_pid = pid;
            m_name = readDisplayNumber(fds[0]);
        }
        ::close(fds[0]);
        if (m_name.empty())
            stop();
    }

    ~PrivateDisplay() { stop(); }

    PrivateDisplay(PrivateDisplay const&) = delete;
    PrivateDisplay& operator=(PrivateDisplay const&) = delete;

    bool available() const { return !m_name.empty(); }
    // ":<n>", the value for DISPLAY.
    std::string const& name() const { return m_name; }

private:
    // The server writes its display number and a line feed once it listens.
    static std::string readDisplayNumber(int fd)
    {
        std::string number;
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{fd, POLLIN, 0};
            if (::poll(&pfd, 1, 200) <= 0)
                continue;
            char c;
            if (::read(fd, &c, 1) != 1)
                break;
            if (c == '\n')
                return number.empty() ? std::string() : ":" + number;
            number += c;
        }
        return {};
    }

    void stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    pid_t m_pid = -1;
    std::string m_name;
};

} // namespace VarantoTest
