#include "updater/app/Startup.h"

#include "BAS/DSOHandle.h"
#include "FEN/CLI.h"
#include "platform/appkit/NSApplication.h"
#include "platform/cf/CFBundle.h"
#include "platform/gtk/GtkBackend.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/runloop/TerminationSignals.h"
#include "updater/app/CVCocoaAppDelegate.h"
#include "updater/app/CommandLineCopy.h"
#include "updater/app/CommandLineOptions.h"
#include "usx2/usb/linux/USBHost.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace CV {

namespace {

namespace objc = platform::objc;

// The stored command line, for as long as the process runs.
CommandLineCopy& commandLine()
{
    static CommandLineCopy s_commandLine;
    return s_commandLine;
}

int runEventLoop()
{
    id application = objc::send<id>(platform::appkit::NSApplicationClass(), "sharedApplication");
    if (!objc::respondsTo(application, objc::selector("run")))
        return -1;
    objc::send<void>(application, "performSelectorOnMainThread:withObject:waitUntilDone:", objc::selector("run"),
                     id(nil), BOOL(YES));
    return 0;
}

// --demo: the simulated bus with the bundle's demo keyboard, in place of
// any the environment names (before any thread reads the environment).
// False, with one line on err, when the bundle holds none.
bool useDemoKeyboard(std::ostream& err)
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    const std::string file = bundle ? bundle->resourcesPath() + "/sim/demo.sim" : std::string();
    if (file.empty() || ::access(file.c_str(), R_OK) != 0) {
        err << CommandLineOptions::kCommand << ": --demo: the bundle holds no demo keyboard"
            << (file.empty() ? std::string() : " (" + file + ")") << "\n";
        return false;
    }
    ::setenv(USX2::USBHost::kSimulationVariable, file.c_str(), 1);
    return true;
}

// Why no display was named: DISPLAY is missing or holds nothing.
std::string whyNoDisplayNamed()
{
    return std::getenv("DISPLAY") ? "DISPLAY is empty" : "DISPLAY is not set";
}

int refuseToRunWithoutDisplay(std::ostream& err)
{
    const std::string display = platform::gtk::displayTriedAtStart();
    err << CommandLineOptions::kCommand << ": "
        << (display.empty() ? "no display to open (" + whyNoDisplayNamed() + ")"
                            : "cannot open display '" + display + "'")
        << "; the updater needs a desktop session\n";
    return CommandLineOptions::kFailure;
}

} // namespace

int Startup::main(int argc, char** argv)
{
    const CommandLineOptions options(argc, argv);
    if (std::optional<int> answered = options.answerQuestions(std::cout, std::cerr))
        return *answered;
    if (std::optional<int> refused = options.rejectMissingValues(std::cerr))
        return *refused;
    if (options.wantsDemo() && !useDemoKeyboard(std::cerr))
        return CommandLineOptions::kFailure;
    platform::gtk::setProgramClass(VARANTO_APP_WINDOW_CLASS);
    const bool backendSelected = platform::gtk::selectBackendAtStart(argc, argv) != nullptr;
    // The toolkit has taken its own options; what is left must be ours.
    if (std::optional<int> refused = CommandLineOptions(argc, argv).rejectUnknown(std::cerr))
        return *refused;
    if (!backendSelected)
        return refuseToRunWithoutDisplay(std::cerr);
    int result = 0;
    {
        objc::AutoreleasePool pool;
        CVCocoaAppDelegate::create(); // lives as long as the process
        platform::TerminationSignals::install([](int) { CVCocoaAppDelegate::terminateWithoutQuestion(); });
        FEN::CLI::setCommandLineArguments(argc, argv);
        commandLine().assign(argc, argv);
        FEN::CLI::setCommandLineArguments(commandLine().argc(), commandLine().argv());
        result = runEventLoop();
        BAS::releaseCurrentDSOHandle();
    }
    return result;
}

} // namespace CV
