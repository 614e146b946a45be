#include "UpdaterProcess.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace CV::test {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);

std::string contentOf(std::string const& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

UpdaterProcess::UpdaterProcess(std::string const& simulation, std::string const& runtime,
                               std::vector<std::string> const& arguments, std::string const& workingFolder)
    : m_process(setup(simulation, runtime, arguments, workingFolder))
{
}

ChildProcess::Setup UpdaterProcess::setup(std::string const& simulation, std::string const& runtime,
                                          std::vector<std::string> const& arguments,
                                          std::string const& workingFolder) const
{
    ChildProcess::Setup setup;
    setup.program = VARANTO_BUNDLE_DIR "/Contents/MacOS/" VARANTO_APP_EXECUTABLE;
    setup.arguments = arguments;
    // Away from the build tree, whose "skin" folder would replace the bundle's.
    setup.workingFolder = workingFolder.empty() ? m_folder.string() : workingFolder;
    // Headless by the variable alone, whatever display the test could reach.
    setup.environment = {{"VARANTO_PLATFORM_BACKEND", "headless"},
                         {"DISPLAY", ""},
                         {"VARANTO_USB_SIMULATION", simulation},
                         {"VARANTO_STATE_CHANNEL", m_folder.at("state.json")},
                         {"XDG_RUNTIME_DIR", runtime}};
    setup.outputFile = m_folder.at("stdout.txt");
    setup.errorFile = m_folder.at("stderr.txt");
    return setup;
}

std::string UpdaterProcess::state() const
{
    return contentOf(m_folder.at("state.json"));
}

bool UpdaterProcess::waitForState(std::function<bool(std::string const&)> const& test, Seconds limit)
{
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (test(state()))
            return true;
        if (!running())
            return test(state());
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

bool UpdaterProcess::waitForPage(int page, Seconds limit)
{
    return waitForState([page](std::string const& text) { return pageOf(text) == page; }, limit);
}

bool UpdaterProcess::command(std::string const& text, Seconds limit)
{
    std::string const path = m_folder.at("state.json.command");
    std::string const temporary = m_folder.at("command.tmp");
    std::ofstream(temporary) << text << "\n";
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        return false;
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::access(path.c_str(), F_OK) != 0)
            return true;
        if (!running())
            return false;
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

std::optional<int> UpdaterProcess::waitForExit(Seconds limit)
{
    std::optional<int> const status = m_process.waitForExit(limit);
    return m_process.exitedByItself() ? status : std::nullopt;
}

bool UpdaterProcess::signal(int number)
{
    return m_process.started() && ::kill(m_process.pid(), number) == 0;
}

int UpdaterProcess::pageOf(std::string const& state)
{
    std::string const key = "{\"page\":";
    if (state.compare(0, key.size(), key) != 0)
        return -2;
    return std::atoi(state.c_str() + key.size());
}

// One widget a line; its id and style come before its text.
std::optional<std::string> UpdaterProcess::widgetEntry(std::string const& state, std::string const& name)
{
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"id\":\"" + name + "\"") != std::string::npos ||
            line.find("\"style\":\"" + name + "\"") != std::string::npos)
            return line;
    }
    return std::nullopt;
}

std::optional<std::string> UpdaterProcess::textOf(std::string const& state, std::string const& name)
{
    std::optional<std::string> const entry = widgetEntry(state, name);
    if (!entry)
        return std::nullopt;
    std::string const key = "\"text\":\"";
    std::string::size_type const start = entry->find(key);
    if (start == std::string::npos)
        return std::nullopt;
    std::string text;
    for (std::string::size_type i = start + key.size(); i < entry->size() && (*entry)[i] != '"'; ++i) {
        if ((*entry)[i] == '\\' && i + 1 < entry->size()) {
            ++i;
            text += (*entry)[i] == 'n' ? '\n' : (*entry)[i];
        } else {
            text += (*entry)[i];
        }
    }
    return text;
}

bool UpdaterProcess::isShown(std::string const& state, std::string const& name)
{
    std::optional<std::string> const entry = widgetEntry(state, name);
    return entry && entry->find("\"shown\":true") != std::string::npos;
}

std::vector<unsigned> UpdaterProcess::applicationEventsOf(std::string const& state)
{
    std::vector<unsigned> codes;
    std::string const key = "\"applicationEvents\":[";
    std::string::size_type const start = state.find(key);
    if (start == std::string::npos)
        return codes;
    std::istringstream list(state.substr(start + key.size(), state.find(']', start) - start - key.size()));
    for (std::string code; std::getline(list, code, ',');)
        codes.push_back(unsigned(std::stoul(code)));
    return codes;
}

} // namespace CV::test
