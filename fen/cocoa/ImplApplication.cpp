#include "FEN/DETAIL/ImplApplication.h"

#include "FEN/EventCodes.h"
#include "platform/appkit/NSApplication.h"
#include "platform/objc/MessageSend.h"

namespace CV {
namespace FEN {
namespace DETAIL {

namespace objc = platform::objc;

namespace {

// The platform application; nil while nothing made it (then nothing is
// scheduled: there is no loop to terminate).
id sharedApplication()
{
    return NSApp;
}

} // namespace

void ImplApplication::postCommandExecuteEvent(int command)
{
    if (command == eStdCommand::Quit)
        scheduleTerminate();
}

void ImplApplication::scheduleTerminate()
{
    objc::send<void>(sharedApplication(), "performSelector:withObject:afterDelay:", objc::selector("terminate:"),
                     id(nil), 0.0);
}

void ImplApplication::setMainMenu(id menu)
{
    objc::send<void>(sharedApplication(), "setMainMenu:", menu);
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
