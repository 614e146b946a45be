#include "UpdaterProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

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

// The environment of the test with the updater's variables set; the leak
// checker of a sanitizer build keeps its list of suppressions to itself.
std::vector<std::string> environmentFor(std::vector<std::pair<std::string, std::string>> settings)
{
    if (const char* leakOptions = std::getenv("LSAN_OPTIONS"))
        settings.emplace_back("LSAN_OPTIONS", std::string(leakOptions) + ":print_suppressions=0");
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string const text = *entry;
        bool replaced = false;
        for (auto const& [name, value] : settings)
            replaced = replaced || text.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced)
            entries.push_back(text);
    }
    for (auto const& [name, value] : settings)
        entries.push_back(name + "=" + value);
    return entries;
}

} // namespace

UpdaterProcess::UpdaterProcess(std::string const& simulation, std::string const& runtime)
{
    std::string const program = VARANTO_BUNDLE_DIR "/Contents/MacOS/Varanto MK2 Firmware Updater";
    std::vector<std::string> environment = environmentFor({{"VARANTO_PLATFORM_BACKEND", "headless"},
                                                           {"VARANTO_USB_SIMULATION", simulation},
                                                           {"VARANTO_STATE_CHANNEL", m_folder.at("state.json")},
                                                           {"XDG_RUNTIME_DIR", runtime}});
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string programArgument = program;
    char* argv[] = {programArgument.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Away from the build tree, whose "skin" folder would replace the bundle's.
    posix_spawn_file_actions_addchdir_np(&actions, m_folder.string().c_str());
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_folder.at("stdout.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_folder.at("stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

UpdaterProcess::~UpdaterProcess()
{
    if (running())
        kill();
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

bool UpdaterProcess::running()
{
    if (m_pid <= 0 || m_status)
        return false;
    int status = 0;
    pid_t const ended = ::waitpid(m_pid, &status, WNOHANG);
    if (ended == 0)
        return true;
    m_status = ended == m_pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

std::optional<int> UpdaterProcess::waitForExit(Seconds limit)
{
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kPoll);
    if (running() || !m_status || *m_status < 0)
        return std::nullopt;
    return m_status;
}

void UpdaterProcess::kill()
{
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_status = -1;
}

std::string UpdaterProcess::standardError() const
{
    return contentOf(m_folder.at("stderr.txt"));
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

} // namespace CV::test
