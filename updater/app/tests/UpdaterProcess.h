#pragma once
// The staged updater running headless in a child process of the test
// (VARANTO_PLATFORM_BACKEND=headless, no DISPLAY), on a simulated bus of its
// own, with the state channel on: the test reads the
// page and the widgets from the channel, sends probe commands (click by id,
// answer the next message box, quit) and waits, each wait bounded, for a
// state or for the end of the process. A process still running when the
// holder goes is killed.
#include "VarantoTest/ChildProcess.h"
#include "VarantoTest/TemporaryFolder.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace CV::test {

class UpdaterProcess {
public:
    using Seconds = std::chrono::seconds;

    // simulation: the simulated bus's file; runtime: the folder of the
    // single-instance lock (shared by the copies that should conflict);
    // arguments: the words of the command line after the program's name;
    // workingFolder: where it starts (by default a fresh folder of its own).
    UpdaterProcess(std::string const& simulation, std::string const& runtime,
                   std::vector<std::string> const& arguments = {}, std::string const& workingFolder = {});

    bool started() const { return m_process.started(); }

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
    bool running() { return m_process.running(); }
    // Sends the process a signal; false when it could not be sent.
    bool signal(int number);

    std::string standardError() const { return m_process.errors(); }

    // The page number of a state; -2 without one.
    static int pageOf(std::string const& state);
    // The text of the first widget of the state whose "id" or "style" is
    // name; none when there is no such widget or it shows no text.
    static std::optional<std::string> textOf(std::string const& state, std::string const& name);
    // Whether that widget is shown.
    static bool isShown(std::string const& state, std::string const& name);
    // The codes of the application events the application object received.
    static std::vector<unsigned> applicationEventsOf(std::string const& state);

private:
    ChildProcess::Setup setup(std::string const& simulation, std::string const& runtime,
                              std::vector<std::string> const& arguments, std::string const& workingFolder) const;
    static std::optional<std::string> widgetEntry(std::string const& state, std::string const& name);

    TemporaryFolder m_folder{"updater-process"};
    ChildProcess m_process;
};

} // namespace CV::test
