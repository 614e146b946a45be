#include "FEN/DETAIL/ImplApplication.h"

#include "FEN/EventCodes.h"
#include "platform/objc/MessageSend.h"

namespace CV {
namespace FEN {
namespace DETAIL {

namespace objc = platform::objc;

namespace {

id sharedApplication()
{
    Class cls = objc_getClass("NSApplication");
    return cls != Nil ? objc::send<id>(cls, "sharedApplication") : nil;
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
