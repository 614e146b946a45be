#include "platform/appkit/AppKit.h"
#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/TextInputSources.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/Protocols.h"
#include "platform/objc/StandInClass.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace platform;
using headless::TestDriver;
using objc::send;

using keyboard::kModifierCommand;
using keyboard::kModifierControl;
using keyboard::kModifierShift;

std::vector<std::string> s_calls;

void clientKeyDown(id self, SEL, id event)
{
    send<void>(self, "interpretKeyEvents:", event);
}

void clientInsertText(id, SEL, id text, NSRange)
{
    s_calls.push_back("insert " + appkit::utf8(text));
}

void clientSetMarkedText(id, SEL, id text, NSRange selected, NSRange)
{
    s_calls.push_back("mark " + appkit::utf8(text) + " at " + std::to_string(selected.location));
}

void clientDoCommand(id, SEL, SEL command)
{
    s_calls.push_back(sel_getName(command));
}

BOOL yes(id, SEL)
{
    return YES;
}

// A view that runs its keys through the text input; the second class
// adopts the text-input client protocol, the first does not.
Class plainViewClass()
{
    static Class s_class = objc::StandInClass("TextInputTestPlainView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("keyDown:", &clientKeyDown)
                               .method("insertText:replacementRange:", &clientInsertText)
                               .method("setMarkedText:selectedRange:replacementRange:", &clientSetMarkedText)
                               .method("doCommandBySelector:", &clientDoCommand)
                               .method("acceptsFirstResponder", &yes)
                               .registerClass();
    return s_class;
}

Class clientViewClass()
{
    static Class s_class = [] {
        Class cls = objc::StandInClass("TextInputTestClientView", plainViewClass()).registerClass();
        objc::Protocols::adopt(cls, appkit::NSTextInputClientProtocol());
        return cls;
    }();
    return s_class;
}

// A shown key window of 200 x 100 points holding a view of the class on the
// French layout.
class TextInputTest : public ::testing::Test {
protected:
    void open(Class viewClass)
    {
        keyboard::LayoutNames names;
        names.layout = "fr";
        ASSERT_TRUE(keyboard::InputSources::selectCurrent(names));
        test::StandInWindow::Spec spec;
        spec.windowClass = objc::ObjectRuntime::lookUpClass("NSWindow");
        spec.viewClass = viewClass;
        spec.top = 480;
        spec.width = 200;
        spec.height = 100;
        spec.viewIsDelegate = false;
        spec.viewIsFirstResponder = false;
        standIn = std::make_unique<test::StandInWindow>(spec);
        window = standIn->window;
        view = standIn->view;
        peer = &driver.peerOf(window);
        s_calls.clear();
    }
    void TearDown() override
    {
        keyboard::InputSources::useSystemLayout();
        standIn.reset();
    }
    void type(unsigned short keyCode, std::uint64_t modifiers = 0)
    {
        driver.typeKeyDown(*peer, keyCode, modifiers);
        driver.typeKeyUp(*peer, keyCode, modifiers);
    }

    TestDriver driver;
    std::unique_ptr<test::StandInWindow> standIn;
    id window = nil;
    id view = nil;
    headless::HeadlessWindow* peer = nullptr;
};

TEST_F(TextInputTest, TheFirstKeyViewTakesKeysAndKeysBecomeTextOrCommands)
{
    open(clientViewClass());
    EXPECT_EQ(send<id>(window, "firstResponder"), view);
    type(14); // e
    type(33); // dead circumflex
    type(14); // e
    type(123, kModifierShift); // Shift+Left
    type(124, kModifierCommand); // Command+Right
    type(51); // Backspace
    type(76); // keypad Enter
    type(122); // F1: no text
    type(14, kModifierControl); // Control+E: no text
    const std::vector<std::string> expected = {
        "insert e",        "mark ^ at 1",   "insert \xC3\xAA", "moveLeftAndModifySelection:", "moveToRightEndOfLine:",
        "deleteBackward:", "insertNewline:"};
    EXPECT_EQ(s_calls, expected);
}

TEST_F(TextInputTest, ADeadKeyShowsNothingInAViewThatIsNoTextInputClient)
{
    open(plainViewClass());
    type(33);
    type(14);
    EXPECT_EQ(s_calls, std::vector<std::string>{"insert \xC3\xAA"});
}

} // namespace
