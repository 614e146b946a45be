#include "updater/app/Startup.h"

#include "BAS/DSOHandle.h"
#include "FEN/CLI.h"
#include "platform/appkit/NSApplication.h"
#include "platform/gtk/GtkBackend.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/runloop/TerminationSignals.h"
#include "updater/app/CVCocoaAppDelegate.h"
#include "updater/app/CommandLineCopy.h"
#include "updater/app/CommandLineOptions.h"

#include <iostream>

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

} // namespace

int Startup::main(int argc, char** argv)
{
    if (std::optional<int> answered = CommandLineOptions(argc, argv).answerQuestions(std::cout))
        return *answered;
    platform::gtk::setProgramClass(VARANTO_APP_WINDOW_CLASS);
    platform::gtk::selectBackendAtStart(argc, argv);
    // The toolkit has taken its own options; what is left must be ours.
    if (std::optional<int> refused = CommandLineOptions(argc, argv).rejectUnknown(std::cerr))
        return *refused;
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
