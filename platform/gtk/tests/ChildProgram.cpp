#include "ChildProgram.h"

#include "DesktopBackendSession.h"

#include <glib-unix.h>
#include <glib.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace desktop_test {

ChildProgram::ChildProgram(const std::vector<std::string>& command, const std::string& input)
{
    std::vector<gchar*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<gchar*>(word.c_str()));
    argv.push_back(nullptr);
    GPid pid = 0;
    gint in = -1;
    gint out = -1;
    const auto flags = GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL);
    if (!g_spawn_async_with_pipes(nullptr, argv.data(), nullptr, flags, nullptr, nullptr, &pid, &in, &out, nullptr,
                                  nullptr))
        return;
    m_pid = pid;
    m_output = out;
    g_unix_set_fd_nonblocking(m_output, TRUE, nullptr);
    // Small inputs only: the pipe takes them whole.
    for (std::size_t written = 0; written < input.size();) {
        const ssize_t n = ::write(in, input.data() + written, input.size() - written);
        if (n <= 0)
            break;
        written += std::size_t(n);
    }
    ::close(in);
    m_watch = g_child_watch_add(
        pid,
        [](GPid, gint status, gpointer self) {
            auto* program = static_cast<ChildProgram*>(self);
            program->m_exited = true;
            program->m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            program->m_watch = 0;
        },
        this);
}

ChildProgram::~ChildProgram()
{
    if (m_pid > 0 && !m_exited) {
        g_source_remove(m_watch);
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0)
        ::close(m_output);
}

int ChildProgram::finish()
{
    if (!started())
        return -1;
    pumpUntil([this] {
        readOutput();
        return m_exited;
    });
    readOutput();
    return m_exited ? m_status : -1;
}

const std::string& ChildProgram::output()
{
    readOutput();
    return m_text;
}

void ChildProgram::readOutput()
{
    if (m_output < 0)
        return;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(m_output, buffer, sizeof buffer)) > 0)
        m_text.append(buffer, std::size_t(n));
}

std::string whyDesktopTestCannotRun(const std::vector<std::string>& programs)
{
    const DesktopBackendSession& session = DesktopBackendSession::instance();
    if (!session.ready())
        return session.failure();
    for (const std::string& name : programs) {
        gchar* path = g_find_program_in_path(name.c_str());
        g_free(path);
        if (!path)
            return name + " is not installed";
    }
    return {};
}

} // namespace desktop_test
