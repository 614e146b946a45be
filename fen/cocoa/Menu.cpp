#include "FEN/COCOA/Menu.h"

#include "BAS/ClassFactory.h"
#include "BAS/Utf16Holder.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"
#include "FEN/HMenu.h"
#include "FEN/KeyCodes.h"
#include "platform/appkit/NSMenu.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

namespace CV {
namespace FEN {
namespace COCOA {

namespace {

namespace objc = platform::objc;
namespace keyboard = platform::keyboard;

objc_class* s_menuClass = nullptr;
const char* const kTarget = "pFENEventTarget";

// The event target of popup menus: remembers the last command chosen and
// passes events on to its target, commands only while it is asked to.
// Nothing gives it a target, so it passes nothing on.
class PopupMenuEventTarget : public EventTarget {
public:
    bool sendEvent(unsigned code, EventData* data) override
    {
        bool const isCommand = code == eCommandEvent::CommandExecute;
        if (isCommand)
            m_lastCommand = static_cast<CommandEventData*>(data)->command;
        if (m_target == nullptr || (isCommand && !m_forwardCommands))
            return false;
        return m_target->sendEvent(code, data);
    }

private:
    EventTarget* m_target = nullptr;
    bool m_forwardCommands = false;
    int32_t m_lastCommand = -1;
};

// Lives for the process: a target never leaves while menus may still send.
PopupMenuEventTarget& s_popupMenuEventTarget = *new PopupMenuEventTarget;

EventTarget* targetOf(id self)
{
    return static_cast<EventTarget*>(objc::ivar<void*>(self, kTarget));
}

id init(id self, SEL)
{
    objc::ivar<void*>(self, kTarget) = nullptr;
    return objc::sendSuper<id>(self, s_menuClass, objc::selector("init"));
}

id initWithFENEventTarget(id self, SEL, EventTarget* target)
{
    objc::ivar<void*>(self, kTarget) = target;
    return objc::sendSuper<id>(self, s_menuClass, objc::selector("init"));
}

void setFENEventTarget(id self, SEL, EventTarget* target)
{
    objc::ivar<void*>(self, kTarget) = target;
}

// To the menu's target, else up to the super menu.
BOOL processFENEvent(id self, SEL sel, unsigned code, EventData* data)
{
    if (EventTarget* target = targetOf(self))
        return target->sendEvent(code, data) ? YES : NO;
    id super = objc::send<id>(self, "supermenu");
    if (super == nil || !objc::respondsTo(super, sel))
        return NO;
    return objc::send<BOOL>(super, sel, code, data);
}

void menuWillOpen(id self, SEL, id menu)
{
    HMenu opening(menu);
    MenuEventData data;
    data.command = -1;
    data.menu = &opening;
    objc::send<BOOL>(self, "processFENEvent:withData:", unsigned(eCommandEvent::MenuWillOpen),
                     static_cast<EventData*>(&data));
}

struct RunTimeClass {
    BAS::OBJC::ClassFactory factory{s_menuClass};

    RunTimeClass()
    {
        platform::appkit::NSMenuClass();
        if (!factory.generateUniqueClass("ComCalvarineCocoaMenu", "NSMenu"))
            return;
        factory.addMemberVar(kTarget, sizeof(void*), 3, "^v");
        factory.addMethod(objc::selector("init"), objc::toIMP(&init), "@@:");
        factory.addMethod(objc::selector("initWithFENEventTarget:"), objc::toIMP(&initWithFENEventTarget), "@@:^v");
        factory.addMethod(objc::selector("setFENEventTarget:"), objc::toIMP(&setFENEventTarget), "v@:^v");
        factory.addMethod(objc::selector("processFENEvent:withData:"), objc::toIMP(&processFENEvent), "C@:I^v");
        factory.addMethod(objc::selector("menuWillOpen:"), objc::toIMP(&menuWillOpen), "v@:@");
        factory.doRegister();
    }
};

RunTimeClass& runTimeClassHolder()
{
    static RunTimeClass s_class;
    return s_class;
}

// Registered at static initialisation.
const bool s_registered = (runTimeClassHolder(), true);

char16_t lowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

char16_t upperAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

// The platform's characters of the named keys; 0 for others.
char16_t namedKeyCharacter(unsigned code)
{
    switch (code) {
    case eKeyEscape: return 0x1B;
    case eKeyBackspace: return 0x08;
    case eKeyTab: return 0x09;
    case eKeyReturn: return 0x0D;
    case eKeyInsert: return 0xF727;
    case eKeyDelete: return 0xF728;
    case eKeyHome: return 0xF729;
    case eKeyEnd: return 0xF72B;
    case eKeyPageUp: return 0xF72C;
    case eKeyPageDown: return 0xF72D;
    case eKeyUp: return 0xF700;
    case eKeyDown: return 0xF701;
    case eKeyLeft: return 0xF702;
    case eKeyRight: return 0xF703;
    case eKeyClear: return 0xF739;
    default: return 0;
    }
}

} // namespace

Class Menu::runTimeClass()
{
    runTimeClassHolder();
    return s_menuClass;
}

id Menu::create(EventTarget* target)
{
    Class cls = runTimeClass();
    if (cls == nullptr)
        return nil;
    id menu = objc::send<id>(objc::NSObject::alloc(cls), "initWithFENEventTarget:", static_cast<void*>(target));
    objc::send<void>(menu, "setDelegate:", menu);
    return menu;
}

CFStringRef Menu::makeTitleString(BAS::CharSequence<char> const& title)
{
    std::string text = title.str();
    for (std::size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1))
        text.erase(at, 1);
    const auto units = BAS::utf_to_utf_chseqref<UniChar>(text);
    return CFStringCreateWithCharacters(kCFAllocatorDefault, units.data(), CFIndex(units.length()));
}

Menu::KeyEquivalent Menu::keyEquivalentOf(unsigned shortcut)
{
    KeyEquivalent key;
    if (shortcut & eKeyModifierCommand)
        key.modifierMask |= keyboard::kModifierCommand;
    if (shortcut & eKeyModifierKeypad)
        key.modifierMask |= keyboard::kModifierNumericPad;
    if (shortcut & eKeyModifierControl)
        key.modifierMask |= keyboard::kModifierControl;
    if (shortcut & eKeyModifierOption)
        key.modifierMask |= keyboard::kModifierOption;
    if (shortcut & eKeyModifierShift)
        key.modifierMask |= keyboard::kModifierShift;

    const char16_t low = char16_t(shortcut & 0xFFFF);
    char16_t character = (shortcut & eKeyModifierShift) ? upperAscii(low) : lowerAscii(low);
    if (shortcut & 0x10000) {
        character = char16_t(low + 0xF703);
        key.modifierMask |= keyboard::kModifierFunction;
    } else if (!(shortcut & eKeyModifierKeypad)) {
        if (const char16_t named = namedKeyCharacter(low))
            character = named;
    }
    key.character = std::u16string(1, character);
    return key;
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
