#include "updater/app/CVCocoaStandaloneApplication.h"

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/StandInClass.h"
#include "platform/peer/InputEvents.h"

namespace CV {

namespace {

namespace objc = platform::objc;

bool isCommandKeyUp(id event)
{
    platform::appkit::EventRecord const& record = platform::appkit::eventRecord(event);
    return record.type == platform::appkit::NSEventTypeKeyUp &&
        (record.modifierFlags & platform::keyboard::kModifierCommand);
}

void sendEvent(id self, SEL selector, id event)
{
    if (platform::appkit::NSApplication::isTerminating())
        return;
    if (event != nil && isCommandKeyUp(event)) {
        objc::send<void>(objc::send<id>(self, "keyWindow"), "sendEvent:", event);
        return;
    }
    objc::sendSuper<void>(self, CVCocoaStandaloneApplication::theClass(), selector, event);
}

void buttonPressed(id, SEL, id) { }

} // namespace

Class CVCocoaStandaloneApplication::theClass()
{
    static Class const s_class =
        objc::StandInClass("CVCocoaStandaloneApplication", platform::appkit::NSApplicationClass())
            .method("sendEvent:", &sendEvent)
            .method("buttonPressed:", &buttonPressed)
            .registerClass();
    return s_class;
}

} // namespace CV
