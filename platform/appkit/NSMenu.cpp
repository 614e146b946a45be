#include "platform/appkit/NSMenu.h"

#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/cf/CFString.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

#include <algorithm>
#include <vector>

namespace platform::appkit {

namespace {

const char* const kState = "_menuState";

struct MenuState {
    CFStringRef title = nullptr;
    std::vector<id> items;
    id supermenu = nil;
    id delegate = nil;
    bool autoenables = true;
};

id s_defaultActionTarget = nil;

MenuState* stateOf(id self)
{
    return static_cast<MenuState*>(objc::ivar<void*>(self, kState));
}

void replaceTitle(MenuState* state, CFStringRef title)
{
    CFStringRef old = state->title;
    state->title = title ? static_cast<CFStringRef>(CFRetain(title))
                         : CFStringCreateWithCharacters(kCFAllocatorDefault, nullptr, 0);
    if (old)
        CFRelease(old);
}

id init(id self, SEL)
{
    self = objc::sendSuper<id>(self, NSMenuClass(), "init");
    if (self == nil)
        return nil;
    auto* state = new MenuState;
    replaceTitle(state, nullptr);
    objc::ivar<void*>(self, kState) = state;
    return self;
}

id initWithTitle(id self, SEL, CFStringRef title)
{
    self = objc::send<id>(self, "init");
    if (self != nil)
        replaceTitle(stateOf(self), title);
    return self;
}

void detachItem(id self, id item)
{
    objc::send<void>(item, "setMenu:", id(nil));
    id submenu = objc::send<id>(item, "submenu");
    if (submenu != nil && objc::send<id>(submenu, "supermenu") == self)
        objc::send<void>(submenu, "setSupermenu:", id(nil));
    objc::NSObject::release(item);
}

void dealloc(id self, SEL)
{
    if (MenuState* state = stateOf(self)) {
        for (id item : state->items)
            detachItem(self, item);
        CFRelease(state->title);
        delete state;
        objc::ivar<void*>(self, kState) = nullptr;
    }
    objc::sendSuper<void>(self, NSMenuClass(), "dealloc");
}

CFStringRef title(id self, SEL)
{
    return stateOf(self)->title;
}
void setTitle(id self, SEL, CFStringRef title)
{
    replaceTitle(stateOf(self), title);
}
long numberOfItems(id self, SEL)
{
    return long(stateOf(self)->items.size());
}

id itemAtIndex(id self, SEL, long index)
{
    const auto& items = stateOf(self)->items;
    return index >= 0 && std::size_t(index) < items.size() ? items[std::size_t(index)] : nil;
}

long indexOfItem(id self, SEL, id item)
{
    const auto& items = stateOf(self)->items;
    const auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : long(found - items.begin());
}

// An index outside 0..count, or an item that is in a menu already, is
// refused (nothing changes).
void insertItem(id self, SEL, id item, long index)
{
    auto& items = stateOf(self)->items;
    if (item == nil || index < 0 || std::size_t(index) > items.size() || objc::send<id>(item, "menu") != nil)
        return;
    items.insert(items.begin() + index, objc::NSObject::retain(item));
    objc::send<void>(item, "setMenu:", self);
    if (id submenu = objc::send<id>(item, "submenu"))
        objc::send<void>(submenu, "setSupermenu:", self);
}

void addItem(id self, SEL, id item)
{
    insertItem(self, nullptr, item, long(stateOf(self)->items.size()));
}

void removeItemAtIndex(id self, SEL, long index)
{
    auto& items = stateOf(self)->items;
    if (index < 0 || std::size_t(index) >= items.size())
        return;
    id item = items[std::size_t(index)];
    items.erase(items.begin() + index);
    detachItem(self, item);
}

id itemWithTag(id self, SEL, long tag)
{
    for (id item : stateOf(self)->items) {
        if (objc::send<long>(item, "tag") == tag)
            return item;
    }
    return nil;
}

id supermenu(id self, SEL)
{
    return stateOf(self)->supermenu;
}
void setSupermenu(id self, SEL, id menu)
{
    stateOf(self)->supermenu = menu;
}
id delegate(id self, SEL)
{
    return stateOf(self)->delegate;
}
void setDelegate(id self, SEL, id delegate)
{
    stateOf(self)->delegate = delegate;
}
BOOL autoenablesItems(id self, SEL)
{
    return stateOf(self)->autoenables ? YES : NO;
}
void setAutoenablesItems(id self, SEL, BOOL on)
{
    stateOf(self)->autoenables = on;
}

id actionTargetOf(id item)
{
    id target = objc::send<id>(item, "target");
    return target != nil ? target : s_defaultActionTarget;
}

bool validates(id item)
{
    if (objc::send<BOOL>(item, "isSeparatorItem"))
        return false;
    SEL action = objc::send<SEL>(item, "action");
    if (action == nullptr)
        return objc::send<BOOL>(item, "hasSubmenu");
    id target = actionTargetOf(item);
    if (target == nil || !objc::respondsTo(target, action))
        return false;
    if (objc::respondsTo(target, objc::selector("validateMenuItem:")))
        return objc::send<BOOL>(target, "validateMenuItem:", item);
    return true;
}

void update(id self, SEL)
{
    if (!stateOf(self)->autoenables)
        return;
    // Validation may change the menu: work on a retained copy of the list.
    std::vector<id> items = stateOf(self)->items;
    for (id item : items)
        objc::NSObject::retain(item);
    for (id item : items) {
        objc::send<void>(item, "setEnabled:", BOOL(validates(item) ? YES : NO));
        objc::NSObject::release(item);
    }
}

// The key equivalent of a key-down event: its characters ignoring
// modifiers with its modifier flags.
BOOL performKeyEquivalentOfEvent(id self, SEL, id event)
{
    if (event == nil || !objc::send<BOOL>(event, "isKindOfClass:", NSEventClass()))
        return NO;
    const EventRecord& record = eventRecord(event);
    if (record.type != NSEventTypeKeyDown)
        return NO;
    const cf::String* characters = cf::String::createFromUTF8(record.charactersIgnoringModifiers);
    const bool performed = performKeyEquivalent(self, characters->characters(), record.modifierFlags);
    CFRelease(characters);
    return performed ? YES : NO;
}

Class registerClass()
{
    return objc::StandInClass("NSMenu", objc::NSObject::rootClass())
        .ivar<void*>(kState)
        .method("init", &init)
        .method("initWithTitle:", &initWithTitle)
        .method("dealloc", &dealloc)
        .method("title", &title)
        .method("setTitle:", &setTitle)
        .method("numberOfItems", &numberOfItems)
        .method("itemAtIndex:", &itemAtIndex)
        .method("indexOfItem:", &indexOfItem)
        .method("insertItem:atIndex:", &insertItem)
        .method("addItem:", &addItem)
        .method("removeItemAtIndex:", &removeItemAtIndex)
        .method("itemWithTag:", &itemWithTag)
        .method("supermenu", &supermenu)
        .method("setSupermenu:", &setSupermenu)
        .method("delegate", &delegate)
        .method("setDelegate:", &setDelegate)
        .method("autoenablesItems", &autoenablesItems)
        .method("setAutoenablesItems:", &setAutoenablesItems)
        .method("update", &update)
        .method("performKeyEquivalent:", &performKeyEquivalentOfEvent)
        .registerClass();
}

std::u16string charactersOf(CFStringRef string)
{
    return string ? string->characters() : std::u16string();
}

std::string modifierText(uint64_t mask)
{
    std::string text;
    if (mask & keyboard::kModifierControl)
        text += "Ctrl+";
    if (mask & keyboard::kModifierOption)
        text += "Opt+";
    if (mask & keyboard::kModifierShift)
        text += "Shift+";
    if (mask & keyboard::kModifierCommand)
        text += "Cmd+";
    if (mask & keyboard::kModifierNumericPad)
        text += "Pad+";
    if (mask & keyboard::kModifierFunction)
        text += "Fn+";
    return text;
}

// The key equivalent readable: printable ASCII as it is, others as U+XXXX.
std::string keyText(CFStringRef key)
{
    std::string text;
    for (char16_t c : charactersOf(key)) {
        if (c > 0x20 && c < 0x7F) {
            text += char(c);
        } else {
            char buffer[12];
            snprintf(buffer, sizeof buffer, "U+%04X", unsigned(c));
            text += buffer;
        }
    }
    return text;
}

void describeInto(std::string& out, id menu, int depth)
{
    const long count = objc::send<long>(menu, "numberOfItems");
    for (long i = 0; i < count; ++i) {
        id item = objc::send<id>(menu, "itemAtIndex:", i);
        out.append(std::size_t(depth) * 2, ' ');
        if (objc::send<BOOL>(item, "isSeparatorItem")) {
            out += "----\n";
            continue;
        }
        out += static_cast<CFStringRef>(objc::send<CFStringRef>(item, "title"))->utf8();
        CFStringRef key = objc::send<CFStringRef>(item, "keyEquivalent");
        if (CFStringGetLength(key) > 0)
            out +=
                " [" + modifierText(objc::send<unsigned long>(item, "keyEquivalentModifierMask")) + keyText(key) + "]";
        if (const long tag = objc::send<long>(item, "tag"))
            out += " #" + std::to_string(tag);
        if (!objc::send<BOOL>(item, "isEnabled"))
            out += " (disabled)";
        if (objc::send<long>(item, "state") == NSOnState)
            out += " (checked)";
        out += "\n";
        if (id submenu = objc::send<id>(item, "submenu"))
            describeInto(out, submenu, depth + 1);
    }
}

} // namespace

Class NSMenuClass()
{
    NSMenuItemClass();
    static Class s_class = registerClass();
    return s_class;
}

void setDefaultActionTarget(id target)
{
    s_defaultActionTarget = target;
}

void openMenu(id menu)
{
    if (menu == nil)
        return;
    id delegate = objc::send<id>(menu, "delegate");
    if (delegate != nil && objc::respondsTo(delegate, objc::selector("menuWillOpen:")))
        objc::send<void>(delegate, "menuWillOpen:", menu);
    objc::send<void>(menu, "update");
}

bool performItem(id item)
{
    if (item == nil)
        return false;
    if (id menu = objc::send<id>(item, "menu"))
        objc::send<void>(menu, "update");
    SEL action = objc::send<SEL>(item, "action");
    if (action == nullptr || !objc::send<BOOL>(item, "isEnabled"))
        return false;
    id target = actionTargetOf(item);
    if (target == nil || !objc::respondsTo(target, action))
        return false;
    objc::send<void>(target, action, item);
    return true;
}

bool performKeyEquivalent(id menu, const std::u16string& characters, uint64_t modifierFlags)
{
    if (menu == nil)
        return false;
    const long count = objc::send<long>(menu, "numberOfItems");
    for (long i = 0; i < count; ++i) {
        id item = objc::send<id>(menu, "itemAtIndex:", i);
        if (id submenu = objc::send<id>(item, "submenu")) {
            if (performKeyEquivalent(submenu, characters, modifierFlags))
                return true;
            continue;
        }
        if (keyEquivalentMatches(charactersOf(objc::send<CFStringRef>(item, "keyEquivalent")),
                                 objc::send<unsigned long>(item, "keyEquivalentModifierMask"), characters,
                                 modifierFlags))
            return performItem(item);
    }
    return false;
}

std::string describeMenu(id menu)
{
    std::string out;
    if (menu != nil)
        describeInto(out, menu, 0);
    return out;
}

} // namespace platform::appkit
