#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "platform/tests/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;
using namespace platform::appkit;
using namespace platform::keyboard;
using platform::test::Owned;

namespace {

// A target that records the tags of the items it is sent, and answers
// validation with a per-tag table.
std::vector<long> s_performed;
std::vector<long> s_refused;

void perform(id, SEL, id sender)
{
    s_performed.push_back(objc::send<long>(sender, "tag"));
}

BOOL validate(id, SEL, id item)
{
    const long tag = objc::send<long>(item, "tag");
    return std::find(s_refused.begin(), s_refused.end(), tag) == s_refused.end() ? YES : NO;
}

Class targetClass()
{
    static Class s_class = objc::StandInClass("MenuTestTarget", objc::NSObject::rootClass())
                               .method("perform:", &perform)
                               .method("validateMenuItem:", &validate)
                               .registerClass();
    return s_class;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s_performed.clear();
        s_refused.clear();
        target = objc::NSObject::allocInit(targetClass());
        menu = newMenu("File");
    }
    void TearDown() override
    {
        objc::NSObject::release(menu);
        objc::NSObject::release(target);
        setDefaultActionTarget(nil);
    }

    static id newMenu(const char* title)
    {
        Owned<CFStringRef> text(CFStringCreateWithCString(kCFAllocatorDefault, title, kCFStringEncodingUTF8));
        return objc::send<id>(objc::NSObject::alloc(NSMenuClass()), "initWithTitle:", text.get());
    }
    // Adds an item performing perform: on the target; the menu keeps it.
    id addItem(id into, const char* title, long tag, const char* key = "", unsigned long mask = kModifierCommand)
    {
        Owned<CFStringRef> text(CFStringCreateWithCString(kCFAllocatorDefault, title, kCFStringEncodingUTF8));
        Owned<CFStringRef> equivalent(CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8));
        id item =
            objc::send<id>(objc::NSObject::alloc(NSMenuItemClass()), "initWithTitle:action:keyEquivalent:", text.get(),
                           objc::selector("perform:"), equivalent.get());
        objc::send<void>(item, "setTag:", tag);
        objc::send<void>(item, "setTarget:", target);
        objc::send<void>(item, "setKeyEquivalentModifierMask:", mask);
        objc::send<void>(into, "addItem:", item);
        objc::NSObject::release(item);
        return item;
    }
    id addSubmenu(id into, const char* title)
    {
        id sub = newMenu(title);
        id item = objc::NSObject::allocInit(NSMenuItemClass());
        objc::send<void>(item, "setTitle:", objc::send<CFStringRef>(sub, "title"));
        objc::send<void>(item, "setSubmenu:", sub);
        objc::send<void>(into, "addItem:", item);
        objc::NSObject::release(item);
        objc::NSObject::release(sub);
        return sub;
    }

    id target = nil;
    id menu = nil;
};

TEST(KeyEquivalent, MatchesCharacterAndExactModifiers)
{
    const uint64_t cmd = kModifierCommand, shift = kModifierShift, opt = kModifierOption;
    struct Case {
        std::u16string equivalent;
        uint64_t mask;
        std::u16string characters;
        uint64_t flags;
        bool matches;
    };
    const Case cases[] = {
        {u"s", cmd, u"s", cmd, true},
        {u"s", cmd, u"S", cmd | shift, false}, // Shift not asked for
        {u"S", cmd, u"S", cmd | shift, true}, // upper case asks for Shift
        {u"S", cmd | shift, u"S", cmd | shift, true},
        {u"S", cmd | shift, u"s", cmd, false},
        {u"s", cmd, u"s", cmd | kModifierCapsLock | kModifierNumericPad, true},
        {u"h", cmd | opt, u"h", cmd, false},
        {u"h", cmd | opt, u"h", cmd | opt, true},
        {u"q", cmd, u"q", 0, false},
        {u"\uF708", cmd | kModifierFunction, u"\uF708", cmd | kModifierFunction, true},
        {u"", cmd, u"", cmd, false},
        {u"\r", cmd, u"\r", cmd, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyEquivalentMatches(c.equivalent, c.mask, c.characters, c.flags), c.matches)
            << std::hex << int(c.equivalent.empty() ? 0 : c.equivalent[0]) << " " << c.flags;
}

TEST_F(MenuTest, ItemsKeepTheirPlaceAndSubmenusKnowTheirSupermenu)
{
    id open = addItem(menu, "Open", 1);
    id sub = addSubmenu(menu, "Recent");
    id close = addItem(menu, "Close", 2);
    EXPECT_EQ(objc::send<long>(menu, "numberOfItems"), 3);
    EXPECT_EQ(objc::send<long>(menu, "indexOfItem:", close), 2);
    EXPECT_EQ(objc::send<id>(menu, "itemWithTag:", 2L), close);
    EXPECT_EQ(objc::send<id>(open, "menu"), menu);
    EXPECT_EQ(objc::send<id>(sub, "supermenu"), menu);

    // An item that is in a menu already is not inserted again.
    objc::send<void>(menu, "insertItem:atIndex:", open, 0L);
    EXPECT_EQ(objc::send<long>(menu, "numberOfItems"), 3);

    objc::NSObject::retain(open);
    objc::send<void>(menu, "removeItemAtIndex:", 0L);
    EXPECT_EQ(objc::send<id>(open, "menu"), id(nil));
    EXPECT_EQ(objc::send<long>(menu, "indexOfItem:", open), -1);
    objc::send<void>(menu, "insertItem:atIndex:", open, 1L);
    EXPECT_EQ(objc::send<id>(menu, "itemAtIndex:", 1L), open);
    objc::NSObject::release(open);
    EXPECT_EQ(objc::send<id>(menu, "itemAtIndex:", 7L), id(nil));
}

TEST_F(MenuTest, UpdateEnablesItemsByTheirTargetsAnswer)
{
    id yes = addItem(menu, "Yes", 1);
    addItem(menu, "No", 2);
    id unknown = addItem(menu, "Unknown action", 3);
    objc::send<void>(unknown, "setAction:", objc::selector("nothingLikeThis:"));
    id noAction = addItem(menu, "No action", 4);
    objc::send<void>(noAction, "setAction:", static_cast<SEL>(nullptr));
    addSubmenu(menu, "Sub");
    objc::send<void>(menu, "addItem:", objc::send<id>(NSMenuItemClass(), "separatorItem"));
    s_refused = {2};
    objc::send<void>(yes, "setEnabled:", BOOL(NO));

    openMenu(menu);
    EXPECT_EQ(describeMenu(menu),
              "Yes #1\n"
              "No #2 (disabled)\n"
              "Unknown action #3 (disabled)\n"
              "No action #4 (disabled)\n"
              "Sub\n"
              "----\n");
}

TEST_F(MenuTest, KeyEquivalentsPerformTheFirstEnabledMatchAcrossSubmenus)
{
    addItem(menu, "Save", 1, "s");
    addItem(menu, "Save As", 2, "S", kModifierCommand | kModifierShift);
    id sub = addSubmenu(menu, "Window");
    addItem(sub, "Minimise", 3, "m");
    addItem(sub, "Refused", 4, "r");
    s_refused = {4};

    struct Case {
        std::u16string characters;
        uint64_t flags;
        bool performed;
        long tag;
    };
    const Case cases[] = {
        {u"s", kModifierCommand, true, 1},  {u"S", kModifierCommand | kModifierShift, true, 2},
        {u"m", kModifierCommand, true, 3},  {u"r", kModifierCommand, false, 0},
        {u"s", kModifierControl, false, 0}, {u"x", kModifierCommand, false, 0},
    };
    for (const Case& c : cases) {
        s_performed.clear();
        EXPECT_EQ(performKeyEquivalent(menu, c.characters, c.flags), c.performed) << c.tag;
        EXPECT_EQ(s_performed, c.performed ? std::vector<long>{c.tag} : std::vector<long>{});
    }
}

TEST_F(MenuTest, ANilTargetSendsToTheDefaultReceiver)
{
    id item = addItem(menu, "Any", 7);
    objc::send<void>(item, "setTarget:", id(nil));
    EXPECT_FALSE(performItem(item));
    setDefaultActionTarget(target);
    EXPECT_TRUE(performItem(item));
    EXPECT_EQ(s_performed, std::vector<long>{7});
}

TEST_F(MenuTest, DescriptionShowsKeysTagsAndStates)
{
    id item = addItem(menu, "Go", 5, "\xEF\x9C\x88", kModifierCommand | kModifierFunction);
    objc::send<void>(item, "setState:", long(NSOnState));
    addItem(menu, "Hide Others", 0, "h", kModifierCommand | kModifierOption);
    EXPECT_EQ(describeMenu(menu),
              "Go [Cmd+Fn+U+F708] #5 (checked)\n"
              "Hide Others [Opt+Cmd+h]\n");
}

} // namespace
