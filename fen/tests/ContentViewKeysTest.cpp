#include "ShownWindowFixture.h"

#include "BAS/ObjCIvar.h"

#include "FEN/CLI.h"
#include "FEN/COCOA/ContentView.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/DETAIL/Keys.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/HMenu.h"
#include "FEN/KeyCodes.h"
#include "FEN/StandaloneWindow.h"
#include "FEN/TextInputBase.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSTextInputClient.h"
#include "platform/cf/NSRange.h"
#include "platform/cg/CGGeometry.h"
#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/TextInputSources.h"
#include "platform/objc/MessageSend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::ShownWindowFixture;
namespace objc = platform::objc;

using platform::keyboard::kModifierCommand;
using platform::keyboard::kModifierShift;

constexpr unsigned short kVK_A = 0, kVK_S = 1, kVK_E = 14, kVK_Q = 12, kVK_K = 40, kVK_M = 46, kVK_1 = 18,
                         kVK_Space = 49, kVK_Return = 36, kVK_Tab = 48, kVK_Backspace = 51, kVK_Escape = 53,
                         kVK_KeypadEnter = 76, kVK_ForwardDelete = 117, kVK_F1 = 122, kVK_Left = 123, kVK_Right = 124,
                         kVK_LeftBracket = 33;

constexpr int32_t kSave = 0x73617665; // 'save'
constexpr int32_t kKeep = 0x6B656570; // 'keep'

std::string hex(uint64_t value)
{
    std::ostringstream out;
    out << std::hex << value;
    return out.str();
}

// Logs key, text and command events as one line each and answers them as
// told by event code (unhandled by default).
class KeyRecordingWindow : public StandaloneWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        switch (code) {
        case eKeyEvent::KeyDown:
        case eKeyEvent::KeyUp: {
            auto* key = static_cast<KeyEventData*>(data);
            std::string line =
                std::string(code == eKeyEvent::KeyDown ? "down " : "up ") + hex(key->key) + " s" + hex(key->scanCode);
            if (code == eKeyEvent::KeyDown && !key->notRepeat)
                line += " repeat";
            return record(code, line);
        }
        case eKeyEvent::TextInput: return record(code, "text " + static_cast<TextEventData*>(data)->text);
        case eKeyEvent::MarkedText: {
            auto* marked = static_cast<MarkedTextEventData*>(data);
            return record(code, "marked " + marked->text + " c" + std::to_string(marked->caret));
        }
        case eKeyEvent::TextCommand: {
            auto* command = static_cast<KeyCommandEventData*>(data);
            return record(
                code, "command " + std::to_string(command->command) + "," + std::to_string(command->extendSelection));
        }
        case eKeyEvent::ModifiersChanged: {
            auto* modifiers = static_cast<ModifiersEventData*>(data);
            return record(code,
                          "modifiers " + hex(modifiers->modifiers) + " v" + std::to_string(modifiers->virtualKeyCode));
        }
        default: return StandaloneWindow::onEvent(code, data);
        }
    }
    bool record(unsigned code, std::string const& line)
    {
        log.push_back(line);
        if (code == eKeyEvent::KeyDown && onKeyDown)
            onKeyDown();
        return handles.count(code) != 0;
    }

    std::vector<std::string> log;
    std::set<unsigned> handles;
    std::function<void()> onKeyDown;
};

// Takes every CommandExecute and records it.
class CommandApp : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eCommandEvent::CommandExecute) {
            commands.push_back(static_cast<CommandEventData*>(data)->command);
            return true;
        }
        return Application::onEvent(code, data);
    }
    std::vector<int32_t> commands;
};

// A client with a settable marked range and selection.
class FakeClient : public TextInputBase {
public:
    int64_t getTextLength() const override { return 10; }
    TextRange getSelectedRange() const override { return selected; }
    void selectAll() override { ++selectAllCalls; }
    CV::BAS::Rect getFirstRectForRange(TextRange const&) const override { return firstRect; }
    void setMarkedRange(TextRange const& range) override { marked = range; }
    TextRange getMarkedRange() const override { return marked; }

    TextRange marked;
    TextRange selected;
    CV::BAS::Rect firstRect{0, 0, 0, 0};
    int selectAllCalls = 0;
};

// A shown window with a menu bar whose File menu has Save on Command+S,
// on the keyboard layout named (US by default), with the key tables filled
// from it.
class ContentViewKeysTest : public ShownWindowFixture<KeyRecordingWindow, CommandApp> {
protected:
    void SetUp() override
    {
        useLayout("us");
        objc::send<id>(platform::appkit::NSApplicationClass(), "sharedApplication");
        HMenuBar bar;
        bar.create();
        HPopupMenu file;
        file.create();
        file.insertCommandAt(-1, "Save", kSave, 0, eKeyModifierCommand | 'S');
        bar.insertSubMenuAt(-1, "File", file);
        app->setMenu(bar);

        ASSERT_NO_FATAL_FAILURE(showWindow());
        window.setKeyFocus();
        impl = TEST::implOf(window);
        view = impl->getContentView();
        window.log.clear();
    }
    void TearDown() override
    {
        window.setTextInputClient(nullptr);
        // Closing the main window posts the quit: let it run without ending
        // the test program.
        platform::appkit::NSApplication::setProcessExit([](int) {});
        window.destroy();
        driver.advance(std::chrono::milliseconds(1));
        platform::appkit::NSApplication::setProcessExit(nullptr);
        *AppTarget::instance() = 0;
        HMenu::s_mapCommandShortcuts.clear();
        platform::appkit::NSApplication::resetForTesting();
        platform::keyboard::InputSources::useSystemLayout();
        DETAIL::Keys::s_bInit = false;
        DETAIL::Keys::clearReverseMap();
        DETAIL::Keys::init();
    }

    void useLayout(const char* layout)
    {
        platform::keyboard::LayoutNames names;
        names.layout = layout;
        ASSERT_TRUE(platform::keyboard::InputSources::selectCurrent(names)) << layout;
        DETAIL::Keys::s_bInit = false;
        DETAIL::Keys::clearReverseMap();
        ASSERT_TRUE(DETAIL::Keys::init());
    }

    void type(unsigned short keyCode, std::uint64_t modifiers = 0)
    {
        driver.typeKeyDown(*peer, keyCode, modifiers);
        driver.typeKeyUp(*peer, keyCode, modifiers);
    }

    COCOA::WindowImplBase* impl = nullptr;
    id view = nil;
};

TEST_F(ContentViewKeysTest, KeysBecomeKeyEventsWithKeyCodesScanCodesAndText)
{
    struct Case {
        unsigned short keyCode;
        std::uint64_t modifiers;
        std::vector<std::string> log;
    };
    std::vector<Case> const cases = {
        {kVK_A, kModifierShift, {"down 10000041 s41", "text A", "up 10000041 s41"}},
        {kVK_1, 0, {"down 31 s31", "text 1", "up 31 s31"}},
        {kVK_Space, 0, {"down 20 s20", "text  ", "up 20 s20"}},
        {kVK_Return, 0, {"down 5 s5", "up 5 s5"}},
        // The keypad's Enter: Keypad plus Return, with the modifiers held.
        {kVK_KeypadEnter, kModifierShift, {"down 10800005 s800005", "up 10800005 s800005"}},
        {kVK_Backspace, 0, {"down 2 s2", "up 2 s2"}},
        {kVK_Escape, 0, {"down 1 s1", "up 1 s1"}},
        {kVK_Tab, kModifierShift, {"down 10000003 s3", "up 10000003 s3"}},
        {kVK_ForwardDelete, 0, {"down 9 s9", "up 9 s9"}},
        {kVK_Left, 0, {"down 10 s10", "up 10 s10"}},
        {kVK_F1, 0, {"down 10001 s10001", "up 10001 s10001"}},
    };
    for (Case const& c : cases) {
        window.log.clear();
        type(c.keyCode, c.modifiers);
        EXPECT_EQ(window.log, c.log) << "key " << c.keyCode;
    }
}

TEST_F(ContentViewKeysTest, RepeatsModifiersAndHandledKeys)
{
    driver.typeKeyDown(*peer, kVK_A, 0, true);
    driver.typeKeyUp(*peer, kVK_A);
    driver.modifiers(*peer, kModifierShift | kModifierCommand);
    // A KeyDown handler that takes the key: no text follows.
    window.handles = {eKeyEvent::KeyDown};
    type(kVK_A);
    EXPECT_EQ(window.log,
              (std::vector<std::string>{"down 41 s41 repeat", "text a", "up 41 s41", "modifiers 30000000 v0",
                                        "down 41 s41", "up 41 s41"}));
}

TEST_F(ContentViewKeysTest, FrenchLayoutKeysAndDeadKeys)
{
    useLayout("fr");
    // The key at the US Q position types A; a dead key types nothing, and
    // its KeyDown comes from the key tables without modifiers; the next key
    // types the accented letter.
    type(kVK_Q);
    driver.typeKeyDown(*peer, kVK_LeftBracket);
    driver.typeKeyUp(*peer, kVK_LeftBracket);
    type(kVK_E);
    driver.typeKeyDown(*peer, kVK_LeftBracket, kModifierShift);
    driver.typeKeyUp(*peer, kVK_LeftBracket, kModifierShift);
    type(kVK_E);
    std::vector<std::string> const expected = {"down 41 s51", "text a",        "up 41 s51", "down 5e s5b", "up 5e s5b",
                                               "down 45 s45", "text \xC3\xAA", "up 45 s45", "down 5e s5b", "up 5e s5b",
                                               "down 45 s45", "text \xC3\xAB", "up 45 s45"};
    EXPECT_EQ(window.log, expected);
}

TEST_F(ContentViewKeysTest, ACommandKeyReachesTheMenuEvenWhileAnotherKeyIsHeld)
{
    // The held key's text was taken; the shortcut pressed during the
    // rollover is still the menu's.
    window.handles = {eKeyEvent::TextInput};
    driver.typeKeyDown(*peer, kVK_A);
    driver.typeKeyDown(*peer, kVK_S, kModifierCommand);
    EXPECT_EQ(app->commands, std::vector<int32_t>{kSave});
    driver.typeKeyUp(*peer, kVK_S, kModifierCommand);
    driver.typeKeyUp(*peer, kVK_A);
    ASSERT_GE(window.log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(window.log.begin(), window.log.begin() + 3),
              (std::vector<std::string>{"down 41 s41", "text a", "down 20000053 s53"}));
}

TEST_F(ContentViewKeysTest, TheShortcutStepRunsAcceleratorsWhenTheApplicationIsTheTarget)
{
    *AppTarget::instance() = 1;
    app->getAcceleratorManager().add(eKeyModifierCommand | 'K', kKeep);
    // Through the main menu, once; an accelerator without a menu item as a
    // command of the window, which bubbles to the application.
    driver.typeKeyDown(*peer, kVK_S, kModifierCommand);
    driver.typeKeyDown(*peer, kVK_K, kModifierCommand);
    EXPECT_EQ(app->commands, (std::vector<int32_t>{kSave, kKeep}));
    EXPECT_TRUE(COCOA::ContentView::s_setLastCommands.empty());
    // Command+M minimises the window.
    driver.typeKeyDown(*peer, kVK_M, kModifierCommand);
    EXPECT_TRUE(objc::send<BOOL>(impl->getNativeWindow(), "isMiniaturized"));
}

TEST_F(ContentViewKeysTest, TextInputMarkedTextAndCommandsReachTheWindow)
{
    driver.markText(*peer, "ka", 1, 1);
    driver.markText(*peer, "");
    driver.commitText(*peer, "");
    driver.commitText(*peer, "\xE3\x81\x8B");
    // Without a client the editing commands end in the shortcut step.
    type(kVK_Left, kModifierShift);
    std::vector<std::string> const expected = {"marked ka c2", "marked  c0", "text \xE3\x81\x8B", "down 10000010 s10",
                                               "up 10000010 s10"};
    EXPECT_EQ(window.log, expected);
}

TEST_F(ContentViewKeysTest, WithAClientKeysBecomeEditingCommands)
{
    FakeClient client;
    window.setTextInputClient(&client);
    struct Case {
        unsigned short keyCode;
        std::uint64_t modifiers;
        std::string command; // empty: none
    };
    std::vector<Case> const cases = {
        {kVK_Left, kModifierShift, "command 0,1"},    {kVK_Left, 0, "command 0,0"},
        {kVK_Right, kModifierCommand, "command 5,0"}, {kVK_Backspace, 0, "command 9,0"},
        {kVK_ForwardDelete, 0, "command 8,0"},        {kVK_Return, 0, ""},
    };
    for (Case const& c : cases) {
        window.log.clear();
        driver.typeKeyDown(*peer, c.keyCode, c.modifiers);
        ASSERT_FALSE(window.log.empty());
        EXPECT_EQ(window.log.back(), c.command.empty() ? window.log.front() : c.command) << "key " << c.keyCode;
        driver.typeKeyUp(*peer, c.keyCode, c.modifiers);
    }
}

TEST_F(ContentViewKeysTest, WhileTheClientHasMarkedTextKeysGoToTheInputMethodOnly)
{
    FakeClient client;
    client.marked = {0, 2};
    window.setTextInputClient(&client);
    type(kVK_A);
    EXPECT_EQ(window.log, (std::vector<std::string>{"text a", "up 41 s41"}));
}

TEST_F(ContentViewKeysTest, RangesAndRectanglesComeFromTheClient)
{
    EXPECT_TRUE(platform::appkit::isTextInputClient(view));
    auto range = [&](const char* selector) { return objc::send<NSRange>(view, selector); };
    EXPECT_EQ(range("markedRange").location, NSNotFound);
    EXPECT_EQ(range("markedRange").length, 0u);
    EXPECT_FALSE(objc::send<BOOL>(view, "hasMarkedText"));
    EXPECT_EQ(objc::send<NSRect>(view, "firstRectForCharacterRange:actualRange:", NSMakeRange(0, 1),
                                 static_cast<NSRange*>(nullptr))
                  .size.width,
              0.0);

    FakeClient client;
    client.marked = {2, 3};
    client.selected = {4, 0};
    client.firstRect = {10, 20, 110, 40};
    window.setTextInputClient(&client);
    EXPECT_TRUE(objc::send<BOOL>(view, "hasMarkedText"));
    EXPECT_EQ(range("markedRange").location, 2u);
    EXPECT_EQ(range("markedRange").length, 3u);
    EXPECT_EQ(range("selectedRange").location, 4u);
    // Top-down client rectangles become bottom-up screen rectangles (one
    // 1920 x 1080 screen).
    NSRect const rect = objc::send<NSRect>(view, "firstRectForCharacterRange:actualRange:", NSMakeRange(2, 3),
                                           static_cast<NSRange*>(nullptr));
    EXPECT_EQ(rect.origin.x, 10.0);
    EXPECT_EQ(rect.origin.y, 1040.0);
    EXPECT_EQ(rect.size.width, 100.0);
    EXPECT_EQ(rect.size.height, 20.0);
    objc::send<void>(view, "unmarkText");
    EXPECT_EQ(client.marked.location, -1);
    EXPECT_FALSE(objc::send<BOOL>(view, "hasMarkedText"));
}

TEST_F(ContentViewKeysTest, AKeyHandlerMayCloseTheWindow)
{
    // Escape closes the window from its KeyDown handler, handled or not;
    // the view finishes the key without touching what went with it.
    for (bool handled : {true, false}) {
        window.handles = handled ? std::set<unsigned>{eKeyEvent::KeyDown} : std::set<unsigned>{};
        platform::appkit::NSApplication::setProcessExit([](int) {});
        window.onKeyDown = [this] { window.destroy(); };
        driver.typeKeyDown(*peer, kVK_Escape);
        window.onKeyDown = nullptr;
        driver.advance(std::chrono::milliseconds(1));
        platform::appkit::NSApplication::setProcessExit(nullptr);
        EXPECT_EQ(window.log, std::vector<std::string>{"down 1 s1"});
        EXPECT_EQ(window.getImpl(), nullptr);
        // Closing the last window terminated the application: start afresh.
        platform::appkit::NSApplication::resetForTesting();
        SetUp();
    }
}

TEST_F(ContentViewKeysTest, ADetachedViewHandlesNothing)
{
    FakeClient client;
    client.marked = {2, 3};
    window.setTextInputClient(&client);
    COCOA::ContentView::detach(view);
    type(kVK_A);
    driver.commitText(*peer, "x");
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(objc::send<NSRange>(view, "markedRange").location, NSNotFound);
    EXPECT_FALSE(objc::send<BOOL>(view, "hasMarkedText"));
    CV::BAS::OBJC::setIvarPtr(view, "pImpl", reinterpret_cast<id>(impl));
}

} // namespace
