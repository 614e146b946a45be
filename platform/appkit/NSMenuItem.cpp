#include "platform/appkit/NSMenuItem.h"

#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

namespace platform::appkit {

namespace {

const char* const kState = "_itemState";

struct ItemState {
    CFStringRef title = nullptr;
    CFStringRef keyEquivalent = nullptr;
    uint64_t modifierMask = keyboard::kModifierCommand;
    long tag = 0;
    bool enabled = true;
    long checkState = NSOffState;
    id target = nil;
    SEL action = nullptr;
    id submenu = nil;
    id menu = nil;
    bool separator = false;
};

ItemState* stateOf(id self)
{
    return static_cast<ItemState*>(objc::ivar<void*>(self, kState));
}

CFStringRef emptyString()
{
    return CFStringCreateWithCharacters(kCFAllocatorDefault, nullptr, 0);
}

// Keeps a retained copy of value (an empty string for null).
void replaceString(CFStringRef& slot, CFStringRef value)
{
    CFStringRef old = slot;
    slot = value ? static_cast<CFStringRef>(CFRetain(value)) : emptyString();
    if (old)
        CFRelease(old);
}

id init(id self, SEL)
{
    self = objc::sendSuper<id>(self, NSMenuItemClass(), "init");
    if (self == nil)
        return nil;
    auto* state = new ItemState;
    state->title = emptyString();
    state->keyEquivalent = emptyString();
    objc::ivar<void*>(self, kState) = state;
    return self;
}

id initWithTitle(id self, SEL, CFStringRef title, SEL action, CFStringRef keyEquivalent)
{
    self = objc::send<id>(self, "init");
    if (self == nil)
        return nil;
    replaceString(stateOf(self)->title, title);
    replaceString(stateOf(self)->keyEquivalent, keyEquivalent);
    stateOf(self)->action = action;
    return self;
}

id separatorItem(id cls, SEL)
{
    id item = objc::send<id>(objc::send<id>(cls, "alloc"), "init");
    stateOf(item)->separator = true;
    stateOf(item)->enabled = false;
    return objc::NSObject::autorelease(item);
}

void dealloc(id self, SEL)
{
    if (ItemState* state = stateOf(self)) {
        CFRelease(state->title);
        CFRelease(state->keyEquivalent);
        objc::NSObject::release(state->submenu);
        delete state;
        objc::ivar<void*>(self, kState) = nullptr;
    }
    objc::sendSuper<void>(self, NSMenuItemClass(), "dealloc");
}

CFStringRef title(id self, SEL)
{
    return stateOf(self)->title;
}
void setTitle(id self, SEL, CFStringRef title)
{
    replaceString(stateOf(self)->title, title);
}
CFStringRef keyEquivalent(id self, SEL)
{
    return stateOf(self)->keyEquivalent;
}
void setKeyEquivalent(id self, SEL, CFStringRef key)
{
    replaceString(stateOf(self)->keyEquivalent, key);
}
unsigned long modifierMask(id self, SEL)
{
    return stateOf(self)->modifierMask;
}
void setModifierMask(id self, SEL, unsigned long mask)
{
    stateOf(self)->modifierMask = mask;
}
long tag(id self, SEL)
{
    return stateOf(self)->tag;
}
void setTag(id self, SEL, long tag)
{
    stateOf(self)->tag = tag;
}
BOOL isEnabled(id self, SEL)
{
    return stateOf(self)->enabled ? YES : NO;
}
void setEnabled(id self, SEL, BOOL enabled)
{
    stateOf(self)->enabled = enabled;
}
long checkState(id self, SEL)
{
    return stateOf(self)->checkState;
}
void setCheckState(id self, SEL, long state)
{
    stateOf(self)->checkState = state;
}
id target(id self, SEL)
{
    return stateOf(self)->target;
}
void setTarget(id self, SEL, id target)
{
    stateOf(self)->target = target;
}
SEL action(id self, SEL)
{
    return stateOf(self)->action;
}
void setAction(id self, SEL, SEL action)
{
    stateOf(self)->action = action;
}
id submenu(id self, SEL)
{
    return stateOf(self)->submenu;
}
BOOL hasSubmenu(id self, SEL)
{
    return stateOf(self)->submenu != nil ? YES : NO;
}
id menu(id self, SEL)
{
    return stateOf(self)->menu;
}
void setMenu(id self, SEL, id menu)
{
    stateOf(self)->menu = menu;
}
BOOL isSeparatorItem(id self, SEL)
{
    return stateOf(self)->separator ? YES : NO;
}

void setSubmenu(id self, SEL, id submenu)
{
    ItemState* state = stateOf(self);
    if (submenu == state->submenu)
        return;
    objc::NSObject::retain(submenu);
    if (state->submenu != nil)
        objc::send<void>(state->submenu, "setSupermenu:", id(nil));
    objc::NSObject::release(state->submenu);
    state->submenu = submenu;
    if (submenu != nil)
        objc::send<void>(submenu, "setSupermenu:", state->menu);
}

Class registerClass()
{
    return objc::StandInClass("NSMenuItem", objc::NSObject::rootClass())
        .ivar<void*>(kState)
        .method("init", &init)
        .method("initWithTitle:action:keyEquivalent:", &initWithTitle)
        .classMethod("separatorItem", &separatorItem)
        .method("dealloc", &dealloc)
        .method("title", &title)
        .method("setTitle:", &setTitle)
        .method("keyEquivalent", &keyEquivalent)
        .method("setKeyEquivalent:", &setKeyEquivalent)
        .method("keyEquivalentModifierMask", &modifierMask)
        .method("setKeyEquivalentModifierMask:", &setModifierMask)
        .method("tag", &tag)
        .method("setTag:", &setTag)
        .method("isEnabled", &isEnabled)
        .method("setEnabled:", &setEnabled)
        .method("state", &checkState)
        .method("setState:", &setCheckState)
        .method("target", &target)
        .method("setTarget:", &setTarget)
        .method("action", &action)
        .method("setAction:", &setAction)
        .method("submenu", &submenu)
        .method("setSubmenu:", &setSubmenu)
        .method("hasSubmenu", &hasSubmenu)
        .method("menu", &menu)
        .method("setMenu:", &setMenu)
        .method("isSeparatorItem", &isSeparatorItem)
        .registerClass();
}

char16_t lowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

bool isUpperAscii(const std::u16string& text)
{
    return text.size() == 1 && text[0] >= u'A' && text[0] <= u'Z';
}

} // namespace

Class NSMenuItemClass()
{
    static Class s_class = registerClass();
    return s_class;
}

bool keyEquivalentMatches(const std::u16string& equivalent, uint64_t mask, const std::u16string& characters,
                          uint64_t modifierFlags)
{
    if (equivalent.empty() || equivalent.size() != characters.size())
        return false;
    for (std::size_t i = 0; i < equivalent.size(); ++i) {
        if (lowerAscii(equivalent[i]) != lowerAscii(characters[i]))
            return false;
    }
    const uint64_t relevant =
        keyboard::kModifierShift | keyboard::kModifierControl | keyboard::kModifierOption | keyboard::kModifierCommand;
    uint64_t required = mask & relevant;
    if (isUpperAscii(equivalent))
        required |= keyboard::kModifierShift;
    return (modifierFlags & relevant) == required;
}

} // namespace platform::appkit
