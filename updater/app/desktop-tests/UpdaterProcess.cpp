#include "UpdaterProcess.h"

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace CV::desktop_test {

namespace {

std::vector<std::string> mergedEnvironment(std::map<std::string, std::string> const& changes)
{
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        std::string const text = *entry;
        auto const equals = text.find('=');
        if (equals != std::string::npos)
            merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (auto const& [name, value] : changes) {
        if (value.empty())
            merged.erase(name);
        else
            merged[name] = value;
    }
    std::vector<std::string> result;
    for (auto const& [name, value] : merged)
        result.push_back(name + "=" + value);
    return result;
}

} // namespace

UpdaterProcess::UpdaterProcess(std::string const& executable, std::string const& workingFolder,
    std::map<std::string, std::string> const& environment, std::string const& outputFile)
    : m_outputFile(outputFile)
{
    std::vector<std::string> const variables = mergedEnvironment(environment);
    std::vector<char*> envp;
    for (auto const& variable : variables)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(executable.c_str()), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    pid_t pid = -1;
    if (::posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv, envp.data()) == 0)
        m_pid = pid;
    posix_spawn_file_actions_destroy(&actions);
}

UpdaterProcess::~UpdaterProcess()
{
    if (m_pid <= 0 || m_exitStatus)
        return;
    ::kill(m_pid, SIGTERM);
    if (!waitForExit(std::chrono::seconds(5))) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

void UpdaterProcess::reap(int status)
{
    if (WIFEXITED(status))
        m_exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        m_exitStatus = 128 + WTERMSIG(status);
}

std::optional<int> UpdaterProcess::waitForExit(std::chrono::milliseconds limit)
{
    if (m_exitStatus || m_pid <= 0)
        return m_exitStatus;
    auto const deadline = std::chrono::steady_clock::now() + limit;
    do {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            reap(status);
            return m_exitStatus;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool UpdaterProcess::running()
{
    return m_pid > 0 && !waitForExit(std::chrono::milliseconds(0));
}

std::string UpdaterProcess::output() const
{
    std::ifstream in(m_outputFile);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace CV::desktop_test
