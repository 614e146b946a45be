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
    // starts, --help and --version print their answer and give 0 (1 when
    // it could not be written), a mistaken option gives 2
    // (CommandLineOptions), and no display to open gives 1 with one line
    // naming it, unless VARANTO_PLATFORM_BACKEND=headless asks for none.
    // --demo puts the bundle's demo keyboard on a simulated bus.
    static int main(int argc, char** argv);

    Startup() = delete;
};

} // namespace CV
