#pragma once
// Another program run beside a desktop test while the test's main loop
// goes on serving the display (a clipboard request from the other program
// must be answered by this process). Its input is given at the start, its
// output collected; a program still running when the holder goes is
// killed.
#include <string>
#include <vector>

namespace desktop_test {

class ChildProgram {
public:
    ChildProgram(const std::vector<std::string>& command, const std::string& input = {});
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool started() const { return m_pid > 0; }
    // Whether the main loop saw it end, and then its exit status (-1 when
    // it crashed).
    bool ended() const { return m_exited; }
    int exitStatus() const { return m_status; }
    // Runs the main loop until the program ends (at most the desktop tests'
    // wait limit); its exit status, -1 when it did not end or crashed.
    int finish();
    // What it wrote to its standard output so far.
    const std::string& output();

private:
    void readOutput();

    int m_pid = -1;
    int m_output = -1;
    bool m_exited = false;
    int m_status = -1;
    unsigned m_watch = 0;
    std::string m_text;
};

// Why a desktop test that runs these programs cannot run (no X server, no
// display for the toolkit, a program not installed); empty when it can.
std::string whyDesktopTestCannotRun(const std::vector<std::string>& programs);

} // namespace desktop_test
