#pragma once
// The staged updater running headless in a child process of the test, on a
// simulated bus of its own, with the state channel on: the test reads the
// page and the widgets from the channel, sends probe commands (click by id,
// answer the next message box, quit) and waits, each wait bounded, for a
// state or for the end of the process. A process still running when the
// holder goes is killed.
#include "VarantoTest/TemporaryFolder.h"

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace CV::test {

class UpdaterProcess {
public:
    using Seconds = std::chrono::seconds;

    // simulation: the simulated bus's file; runtime: the folder of the
    // single-instance lock (shared by the copies that should conflict).
    UpdaterProcess(std::string const& simulation, std::string const& runtime);
    ~UpdaterProcess();
    UpdaterProcess(UpdaterProcess const&) = delete;
    UpdaterProcess& operator=(UpdaterProcess const&) = delete;

    bool started() const { return m_pid > 0; }

    // The last state published ("" before the first).
    std::string state() const;
    // Waits until the state satisfies test; false when the time ran out or
    // the process ended first.
    bool waitForState(std::function<bool(std::string const&)> const& test, Seconds limit);
    bool waitForPage(int page, Seconds limit);

    // Hands a probe command over and waits until the updater took it.
    bool command(std::string const& text, Seconds limit = Seconds(30));

    // The exit status once the process ended by itself within the limit;
    // none when it was still running (it keeps running) or was killed by a
    // signal.
    std::optional<int> waitForExit(Seconds limit);
    bool running();

    std::string standardError() const;

    // The page number of a state; -2 without one.
    static int pageOf(std::string const& state);
    // The text of the first widget of the state whose "id" or "style" is
    // name; none when there is no such widget or it shows no text.
    static std::optional<std::string> textOf(std::string const& state, std::string const& name);
    // Whether that widget is shown.
    static bool isShown(std::string const& state, std::string const& name);

private:
    static std::optional<std::string> widgetEntry(std::string const& state, std::string const& name);
    void kill();

    TemporaryFolder m_folder{"updater-process"};
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

} // namespace CV::test
