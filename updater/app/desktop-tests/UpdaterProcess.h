#pragma once
// The staged updater started as a child process with an environment of the
// test's choosing, its output collected in a file; stopped when the object
// goes.
#include <chrono>
#include <map>
#include <optional>
#include <string>

#include <sys/types.h>

namespace CV::desktop_test {

class UpdaterProcess {
public:
    // Starts `executable` in `workingFolder` with the current environment
    // changed by `environment` (an empty value removes a variable).
    UpdaterProcess(std::string const& executable, std::string const& workingFolder,
        std::map<std::string, std::string> const& environment, std::string const& outputFile);
    ~UpdaterProcess();

    UpdaterProcess(UpdaterProcess const&) = delete;
    UpdaterProcess& operator=(UpdaterProcess const&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    // The exit status once the process ended within `limit`: the exit code,
    // or 128 + the signal that ended it.
    std::optional<int> waitForExit(std::chrono::milliseconds limit);
    bool running();

    std::string output() const;

private:
    void reap(int status);

    pid_t m_pid = -1;
    std::optional<int> m_exitStatus;
    std::string m_outputFile;
};

} // namespace CV::desktop_test
