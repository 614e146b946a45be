#pragma once
// A program started as a child process of the test: in a working folder of
// the test's choosing, with nothing on its standard input, the test's
// environment changed as asked, and its standard output and error written
// to files. Every wait is bounded; a process still running when the holder
// goes is stopped (asked to end first when a grace time is given, killed
// when it has not ended by then).
//
//   CV::test::ChildProcess::Setup setup;
//   setup.program = "/bin/echo";
//   setup.workingFolder = folder.string();
//   setup.outputFile = folder.at("out.txt");
//   CV::test::ChildProcess child(setup);
//   child.waitForExit(std::chrono::seconds(5)); // 0
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace CV {
namespace test {

class ChildProcess {
public:
    struct Setup {
        std::string program;
        // The words after the program's name.
        std::vector<std::string> arguments;
        std::string workingFolder;
        // Variables to set; an empty value removes the variable.
        std::map<std::string, std::string> environment;
        // Variables set to the empty string (NAME=), after the others.
        std::vector<std::string> emptyVariables;
        std::string outputFile;
        // Empty: standard error goes to the output file too.
        std::string errorFile;
        // How long a process still running when the holder goes may take to
        // end after SIGTERM; zero kills it at once.
        std::chrono::milliseconds stopGrace{0};
    };

    explicit ChildProcess(const Setup& setup)
        : m_setup(setup)
    {
        std::vector<std::string> variables = environmentWith(setup.environment, setup.emptyVariables);
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::string program = setup.program;
        std::vector<std::string> words = setup.arguments;
        std::vector<char*> argv{program.data()};
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, setup.workingFolder.c_str());
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, setup.outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (setup.errorFile.empty())
            posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, setup.errorFile.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0)
            m_pid = pid;
        posix_spawn_file_actions_destroy(&actions);
    }

    ~ChildProcess()
    {
        if (!running())
            return;
        if (m_setup.stopGrace.count() > 0) {
            ::kill(m_pid, SIGTERM);
            if (waitForEnd(m_setup.stopGrace))
                return;
        }
        kill();
    }

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    bool running()
    {
        if (m_pid <= 0 || m_ended)
            return false;
        int status = 0;
        const pid_t ended = ::waitpid(m_pid, &status, WNOHANG);
        if (ended == 0)
            return true;
        m_ended = true;
        if (ended == m_pid)
            m_status = status;
        return false;
    }

    // Whether the process ended within limit.
    bool waitForEnd(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (running()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return m_ended;
    }

    // Once the process ended within limit: its exit code, or 128 + the
    // signal that ended it; none while it runs or when its end is unknown.
    std::optional<int> waitForExit(std::chrono::milliseconds limit)
    {
        if (!waitForEnd(limit) || !m_status)
            return std::nullopt;
        if (WIFEXITED(*m_status))
            return WEXITSTATUS(*m_status);
        if (WIFSIGNALED(*m_status))
            return 128 + WTERMSIG(*m_status);
        return std::nullopt;
    }

    // Whether the process ended by itself (not by a signal).
    bool exitedByItself() const { return m_status && WIFEXITED(*m_status); }

    // Kills the process at once and waits for it.
    void kill()
    {
        if (!running())
            return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        if (::waitpid(m_pid, &status, 0) == m_pid)
            m_status = status;
        m_ended = true;
    }

    std::string output() const { return contentOf(m_setup.outputFile); }
    std::string errors() const { return contentOf(m_setup.errorFile.empty() ? m_setup.outputFile : m_setup.errorFile); }

private:
    // The test's environment changed as asked; a sanitizer build's leak
    // checker is told not to list the suppressions it used at exit (the
    // program's own output is what tests read).
    static std::vector<std::string> environmentWith(std::map<std::string, std::string> changes,
                                                    const std::vector<std::string>& emptyVariables)
    {
        std::map<std::string, std::string> merged;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            const std::string::size_type equals = text.find('=');
            if (equals != std::string::npos)
                merged[text.substr(0, equals)] = text.substr(equals + 1);
        }
        if (changes.count("LSAN_OPTIONS") == 0) {
            const std::string leakOptions = merged.count("LSAN_OPTIONS") ? merged["LSAN_OPTIONS"] + ":" : "";
            changes["LSAN_OPTIONS"] = leakOptions + "print_suppressions=0";
        }
        for (const auto& [name, value] : changes) {
            if (value.empty())
                merged.erase(name);
            else
                merged[name] = value;
        }
        for (const std::string& name : emptyVariables)
            merged[name] = "";
        std::vector<std::string> entries;
        for (const auto& [name, value] : merged)
            entries.push_back(name + "=" + value);
        return entries;
    }

    static std::string contentOf(const std::string& path)
    {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    Setup m_setup;
    pid_t m_pid = -1;
    bool m_ended = false;
    std::optional<int> m_status;
};

} // namespace test
} // namespace CV
