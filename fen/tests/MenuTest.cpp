#include "FEN/COCOA/Menu.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"
#include "FEN/HMenu.h"
#include "FEN/KeyCodes.h"
#include "platform/appkit/NSMenu.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace CV::FEN;
namespace objc = platform::objc;
namespace keyboard = platform::keyboard;

namespace {

std::u16string charactersOf(CFStringRef text)
{
    return text ? text->characters() : std::u16string();
}

TEST(MenuTitles, AmpersandsAreRemovedAndInvalidBytesDropped)
{
    struct Case {
        const char* title;
        std::u16string shown;
    };
    const Case cases[] = {
        {"&Help", u"Help"}, {"Save &As", u"Save As"}, {"Fish && Chips", u"Fish & Chips"},
        {"&&&x", u"&x"},    {"Ende\xFF", u"Ende"},    {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"", u""},
    };
    for (const Case& c : cases) {
        CFStringRef text = COCOA::Menu::makeTitleString(c.title);
        EXPECT_EQ(charactersOf(text), c.shown) << c.title;
        CFRelease(text);
    }
}

TEST(MenuShortcuts, KeyWordsBecomeKeyEquivalents)
{
    const uint64_t cmd = keyboard::kModifierCommand, shift = keyboard::kModifierShift, fn = keyboard::kModifierFunction,
                   pad = keyboard::kModifierNumericPad;
    struct Case {
        unsigned shortcut;
        std::u16string character;
        uint64_t mask;
    };
    const Case cases[] = {
        {0x30000053, u"S", cmd | shift},
        {0x20000053, u"s", cmd},
        {0x20010005, u"\uF708", cmd | fn},
        {0x0001000C, u"\uF70F", fn},
        {0x20000005, u"\r", cmd},
        {0x00800005, u"\x05", pad},
        {0x2080002B, u"+", cmd | pad},
        {0x40000001, u"\x1B", keyboard::kModifierControl},
        {0x80000009, u"\uF728", keyboard::kModifierOption},
        {0x2000000E, u"\uF700", cmd},
        {0x20000012, u"\uF739", cmd},
        {0x20000004, u"\x04", cmd},
        {0x200000C9, u"\u00C9", cmd}, // non-ASCII letters keep their case
        {0x300000E9, u"\u00E9", cmd | shift},
        {0x3000FB01, u"\uFB01", cmd | shift},
    };
    for (const Case& c : cases) {
        const auto key = COCOA::Menu::keyEquivalentOf(c.shortcut);
        EXPECT_EQ(key.character, c.character) << std::hex << c.shortcut;
        EXPECT_EQ(key.modifierMask, c.mask) << std::hex << c.shortcut;
    }
}

// Records the events a menu sends; may disable an item while it validates.
class RecordingTarget : public EventTarget {
public:
    struct Event {
        unsigned code;
        int32_t command;
        bool operator==(const Event& other) const { return code == other.code && command == other.command; }
    };
    std::vector<Event> events;
    int32_t disableOnValidate = 0;
    bool handleValidate = false;

    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eCommandEvent::CommandExecute) {
            events.push_back({code, static_cast<CommandEventData*>(data)->command});
            return true;
        }
        auto* menuData = static_cast<MenuEventData*>(data);
        events.push_back({code, menuData->command});
        if (code == eCommandEvent::CommandValidate && menuData->command == disableOnValidate) {
            id item = objc::send<id>(menuData->menu->getPlatformMenu(), "itemWithTag:", long(menuData->command));
            objc::send<void>(item, "setEnabled:", BOOL(NO));
            return true;
        }
        return handleValidate;
    }
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HMenu::s_mapCommandShortcuts.clear();
        popup.create();
    }
    void TearDown() override
    {
        objc::NSObject::release(popup.getPlatformMenu());
        if (root)
            objc::NSObject::release(root);
        HMenu::s_mapCommandShortcuts.clear();
    }
    // A menu reporting to the recorder that holds the popup as "Help".
    HMenu rootWithPopup()
    {
        root = COCOA::Menu::create(&recorder);
        HMenu menu(root);
        EXPECT_EQ(menu.insertSubMenuAt(-1, "&Help", popup), 0);
        return menu;
    }
    id item(long tag) { return objc::send<id>(popup.getPlatformMenu(), "itemWithTag:", tag); }

    HPopupMenu popup;
    id root = nil;
    RecordingTarget recorder;
};

TEST_F(MenuTest, CommandItemsCarryTitleTagStateAndShortcut)
{
    EXPECT_EQ(popup.insertCommandAt(-1, "&Visit", 40000, 0, 0), 0);
    EXPECT_EQ(popup.insertCommandAt(-1, "Off", 40001, HMenu::eDisabled, 0), 1);
    EXPECT_EQ(popup.insertCommandAt(-1, "Ticked", 40002, HMenu::eChecked, 0), 2);
    EXPECT_EQ(popup.insertCommandAt(0, "Save As", 40003, 0, 0x30000053), 0);
    EXPECT_EQ(popup.insertCommandAt(-1, "Again", 40004, 0, 0x30000053), 4);
    EXPECT_EQ(platform::appkit::describeMenu(popup.getPlatformMenu()),
              "Save As [Shift+Cmd+S] #40003\n"
              "Visit #40000\n"
              "Off #40001 (disabled)\n"
              "Ticked #40002 (checked)\n"
              "Again [Shift+Cmd+S] #40004\n");
    EXPECT_TRUE(popup.getItemEnabledId(40000));
    EXPECT_FALSE(popup.getItemEnabledId(40001));
    EXPECT_FALSE(popup.getItemEnabledId(12345));
    // The later command of a shortcut replaces the earlier one.
    EXPECT_EQ(HMenu::s_mapCommandShortcuts, (std::map<uint32_t, int32_t>{{0x30000053, 40004}}));
}

TEST_F(MenuTest, QuitAndAboutOnlyEnterCommandQ)
{
    EXPECT_EQ(popup.insertCommandAt(-1, "Quit", 0x71756974, 0, 0x20000057), 0);
    EXPECT_EQ(popup.insertCommandAt(5, "About", 0x61626F75, 0, 0), 5);
    EXPECT_EQ(objc::send<long>(popup.getPlatformMenu(), "numberOfItems"), 0);
    EXPECT_EQ(HMenu::s_mapCommandShortcuts, (std::map<uint32_t, int32_t>{{0x20000051, 0x71756974}}));
}

TEST_F(MenuTest, EmptyPopupIsNotInserted)
{
    HMenu menu(COCOA::Menu::create(&recorder));
    root = menu.getPlatformMenu();
    EXPECT_EQ(menu.insertSubMenuAt(-1, "Empty", popup), -1);
    EXPECT_EQ(objc::send<long>(root, "numberOfItems"), 0);
    HPopupMenu never;
    EXPECT_EQ(menu.insertSubMenuAt(-1, "Never", never), -1);
}

TEST_F(MenuTest, ClicksValidationAndOpeningReachTheTargetAsCommandEvents)
{
    popup.insertCommandAt(-1, "Visit the Knowledge Base", 40000, 0, 0);
    popup.insertCommandAt(-1, "Visit Calvarine on the web", 40001, HMenu::eDisabled, 0);
    rootWithPopup();
    using Event = RecordingTarget::Event;

    EXPECT_TRUE(platform::appkit::performItem(item(40000)));
    EXPECT_EQ(recorder.events, (std::vector<Event>{{1201, 40000}, {1201, 40001}, {1200, 40000}}));

    // Nobody handles validation: every command item shows enabled.
    recorder.events.clear();
    platform::appkit::openMenu(popup.getPlatformMenu());
    EXPECT_EQ(recorder.events, (std::vector<Event>{{1202, -1}, {1201, 40000}, {1201, 40001}}));
    EXPECT_TRUE(popup.getItemEnabledId(40001));

    // A handler disables an item: it stays disabled and cannot be chosen.
    recorder.disableOnValidate = 40001;
    platform::appkit::openMenu(popup.getPlatformMenu());
    EXPECT_FALSE(popup.getItemEnabledId(40001));
    recorder.events.clear();
    EXPECT_FALSE(platform::appkit::performItem(item(40001)));
    EXPECT_EQ(recorder.events, (std::vector<Event>{{1201, 40000}, {1201, 40001}}));
}

TEST_F(MenuTest, KeyEquivalentsOfItemsReachTheTarget)
{
    popup.insertCommandAt(-1, "Save", 7, 0, 0x20000053);
    rootWithPopup();
    recorder.handleValidate = true; // handled validation keeps the item's own state
    EXPECT_TRUE(platform::appkit::performKeyEquivalent(root, u"s", keyboard::kModifierCommand));
    EXPECT_FALSE(
        platform::appkit::performKeyEquivalent(root, u"S", keyboard::kModifierCommand | keyboard::kModifierShift));
    EXPECT_EQ(recorder.events.back(), (RecordingTarget::Event{1200, 7}));
}

TEST_F(MenuTest, WithoutAnyTargetNothingIsSent)
{
    popup.insertCommandAt(-1, "Alone", 9, 0, 0);
    EXPECT_TRUE(platform::appkit::performItem(item(9)));
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_TRUE(popup.getItemEnabledId(9));
}

} // namespace
