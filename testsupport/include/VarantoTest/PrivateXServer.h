#pragma once
// A private virtual X server (Xvfb) for desktop tests: started on a free
// display number it picks itself (-displayfd), without a window manager,
// listening on its local socket only. While it runs, DISPLAY names it and
// the toolkit's accessibility bridge and settings daemon are kept out
// (NO_AT_BRIDGE=1, GSETTINGS_BACKEND=memory); the old environment comes
// back and the server is stopped when the holder goes (or the test process
// ends in any way). Every wait is bounded.
//
//   CV::test::PrivateXServer server;
//   if (!server.running()) VARANTO_DESKTOP_UNAVAILABLE() << server.failure();
//   server.run({"xdotool", "mousemove", "10", "10"});
#include "VarantoTest/ScopedEnvironmentVariable.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace CV {
namespace test {

class PrivateXServer {
public:
    explicit PrivateXServer(const std::string& screen = "1024x768x24",
                            std::chrono::milliseconds startLimit = std::chrono::seconds(20))
    {
        int fds[2];
        if (::pipe(fds) != 0) {
            m_failure = "no pipe for Xvfb";
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            // The server goes with the test, also when the test crashes.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            // The server must not hold the test's output open (a runner
            // reading it would wait for a server that outlives the test).
            const int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                ::dup2(devnull, STDOUT_FILENO);
                ::dup2(devnull, STDERR_FILENO);
            }
            const std::string geometry = screen;
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", geometry.c_str(), "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        if (m_pid < 0) {
            ::close(fds[0]);
            m_failure = "cannot start Xvfb";
            return;
        }
        const std::optional<std::string> number = readLine(fds[0], startLimit);
        ::close(fds[0]);
        if (!number || number->empty()) {
            m_failure = "Xvfb did not start (is it installed?)";
            stop();
            return;
        }
        m_display = ":" + *number;
        m_environment.emplace_back("DISPLAY", m_display.c_str());
        m_environment.emplace_back("NO_AT_BRIDGE", "1");
        m_environment.emplace_back("GSETTINGS_BACKEND", "memory");
        m_environment.emplace_back("WAYLAND_DISPLAY", nullptr);
    }

    ~PrivateXServer()
    {
        m_environment.clear();
        stop();
    }

    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool running() const { return !m_display.empty(); }
    const std::string& display() const { return m_display; }
    const std::string& failure() const { return m_failure; }

    // Runs a program against the server and waits for it (at most limit; a
    // program still running then is killed). Its exit status, or -1 when it
    // could not run, was killed or crashed.
    int run(const std::vector<std::string>& command, std::chrono::milliseconds limit = std::chrono::seconds(20)) const
    {
        std::vector<char*> argv;
        for (const std::string& word : command)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            if (devnull >= 0)
                ::dup2(devnull, STDOUT_FILENO);
            execvp(argv[0], argv.data());
            ::_exit(127);
        }
        if (child < 0)
            return -1;
        const std::optional<int> status = waitFor(child, limit);
        if (!status) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            return -1;
        }
        return WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    }

private:
    static std::optional<std::string> readLine(int fd, std::chrono::milliseconds limit)
    {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd request{fd, POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (::poll(&request, 1, int(std::max<long long>(1, left.count()))) <= 0)
                continue;
            char c;
            const ssize_t got = ::read(fd, &c, 1);
            if (got <= 0)
                return std::nullopt;
            if (c == '\n')
                return line;
            line += c;
        }
        return std::nullopt;
    }

    static std::optional<int> waitFor(pid_t child, std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child)
                return status;
            if (std::chrono::steady_clock::now() >= deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    void stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        if (!waitFor(m_pid, std::chrono::seconds(5))) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

    pid_t m_pid = -1;
    std::string m_display;
    std::string m_failure;
    std::vector<ScopedEnvironmentVariable> m_environment;
};

} // namespace test
} // namespace CV
