#pragma once
// The process entry of the updater, behind main: chooses the platform's
// backend, creates the application delegate, keeps a private copy of the
// command line for the framework and runs the platform's event loop on the
// main thread.
namespace CV {

class Startup {
public:
    // 0 once the event loop ran (a termination ends the process inside
    // it), -1 when the application object cannot run one. Before anything
    // starts, --help and --version print their answer and give 0, and an
    // unknown option gives 2 (CommandLineOptions).
    static int main(int argc, char** argv);

    Startup() = delete;
};

} // namespace CV
