#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"

#include "platform/appkit/NSWindow.h"
#include "platform/keyboard/KeyEventCharacters.h"
#include "platform/keyboard/TextInputSources.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace platform::headless {

const char* const kGeneralPasteboard = "Apple CFPasteboard general";

TestDriver::TestDriver()
    : m_backend(&HeadlessBackend::select())
    , m_previousClock(MainLoop::instance().setClock(std::make_shared<VirtualClock>()))
    , m_start(MainLoop::instance().now())
    , m_pool(std::make_unique<objc::AutoreleasePool>())
{
    AlertAnswers::clear();
}

TestDriver::~TestDriver()
{
    AlertAnswers::clear();
    m_pool.reset();
    MainLoop::instance().setClock(m_previousClock);
}

Clock::Duration TestDriver::elapsed() const
{
    return MainLoop::instance().now() - m_start;
}

void TestDriver::advance(Clock::Duration duration)
{
    MainLoop::instance().advanceTime(duration);
}

void TestDriver::runPending()
{
    MainLoop::instance().runPending();
}

void TestDriver::setScreens(const std::string& screens)
{
    std::optional<std::vector<peer::ScreenInfo>> parsed = HeadlessDesktop::parseScreens(screens);
    if (!parsed) {
        std::fprintf(stderr, "TestDriver: malformed screens '%s'\n", screens.c_str());
        std::abort();
    }
    m_backend->desktop().setScreens(*parsed);
}

std::vector<HeadlessWindow*> TestDriver::windows() const
{
    return m_backend->desktop().windows();
}

HeadlessWindow& TestDriver::peerOf(id window) const
{
    auto* peer = dynamic_cast<HeadlessWindow*>(appkit::windowPeer(window));
    if (!peer) {
        std::fprintf(stderr, "TestDriver: no headless window behind this object\n");
        std::abort();
    }
    return *peer;
}

void TestDriver::mouseDown(HeadlessWindow& window, peer::Point at, int button, std::uint64_t modifiers)
{
    window.userMouseButton(true, button, at, modifiers);
}

void TestDriver::mouseUp(HeadlessWindow& window, peer::Point at, int button, std::uint64_t modifiers)
{
    window.userMouseButton(false, button, at, modifiers);
}

void TestDriver::click(HeadlessWindow& window, peer::Point at, int button, std::uint64_t modifiers)
{
    mouseDown(window, at, button, modifiers);
    mouseUp(window, at, button, modifiers);
}

void TestDriver::moveMouse(HeadlessWindow& window, peer::Point to, unsigned buttons, std::uint64_t modifiers)
{
    window.input()->mouseMotion(peer::MouseMotionInput{to, modifiers, buttons, 0, 0});
}

void TestDriver::moveMouseBy(HeadlessWindow& window, peer::Point at, double deltaX, double deltaY)
{
    window.input()->mouseMotion(peer::MouseMotionInput{at, 0, 0, deltaX, deltaY});
}

void TestDriver::leave(HeadlessWindow& window, peer::Point at)
{
    window.userLeave(at);
}

void TestDriver::scroll(HeadlessWindow& window, peer::Point at, double deltaX, double deltaY, bool precise,
                        std::uint64_t modifiers)
{
    window.input()->wheel(peer::WheelInput{at, modifiers, deltaX, deltaY, precise});
}

void TestDriver::keyDown(HeadlessWindow& window, unsigned short keyCode, const std::string& characters,
                         std::uint64_t modifiers, std::optional<std::string> ignoringModifiers)
{
    window.input()->key(
        peer::KeyInput{true, keyCode, modifiers, characters, ignoringModifiers.value_or(characters), false});
}

void TestDriver::keyUp(HeadlessWindow& window, unsigned short keyCode, const std::string& characters,
                       std::uint64_t modifiers)
{
    window.input()->key(peer::KeyInput{false, keyCode, modifiers, characters, characters, false});
}

void TestDriver::key(HeadlessWindow& window, unsigned short keyCode, const std::string& characters,
                     std::uint64_t modifiers)
{
    keyDown(window, keyCode, characters, modifiers);
    keyUp(window, keyCode, characters, modifiers);
}

namespace {

// The modifier state UCKeyTranslate takes: 0x01 Command, 0x02 Shift, 0x04
// Caps Lock, 0x08 Option, 0x10 Control.
UInt32 translationModifiers(std::uint64_t flags)
{
    return ((flags & keyboard::kModifierCommand) ? 0x01 : 0) | ((flags & keyboard::kModifierShift) ? 0x02 : 0) |
        ((flags & keyboard::kModifierCapsLock) ? 0x04 : 0) | ((flags & keyboard::kModifierOption) ? 0x08 : 0) |
        ((flags & keyboard::kModifierControl) ? 0x10 : 0);
}

// The text of a key on the current layout as UTF-8; deadKeyState carries a
// pending dead key from one call to the next.
std::string layoutText(unsigned short keyCode, std::uint64_t modifiers, std::uint32_t& deadKeyState)
{
    if (const std::optional<char16_t> character = keyboard::keyEventCharacter(keyCode, modifiers))
        return cf::String(std::u16string(1, *character), false).utf8();
    TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    if (source == nullptr)
        return {};
    const UCKeyboardLayout* layout =
        keyboard::KeyLayoutData::layoutOf(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
    UniChar units[8];
    UniCharCount length = 0;
    if (layout == nullptr ||
        UCKeyTranslate(layout, keyCode, kUCKeyActionDown, translationModifiers(modifiers), LMGetKbdType(), 0,
                       &deadKeyState, 8, &length, units) != noErr)
        length = 0;
    CFRelease(source);
    return cf::String(std::u16string(units, units + std::min<UniCharCount>(length, 8)), false).utf8();
}

} // namespace

void TestDriver::typeKeyDown(HeadlessWindow& window, unsigned short keyCode, std::uint64_t modifiers, bool repeat)
{
    std::uint32_t plainState = 0;
    const std::string ignoring = layoutText(keyCode, modifiers & keyboard::kModifierShift, plainState);
    const std::string characters = layoutText(keyCode, modifiers, m_deadKeyState);
    window.input()->key(peer::KeyInput{true, keyCode, modifiers, characters, ignoring, repeat});
}

void TestDriver::typeKeyUp(HeadlessWindow& window, unsigned short keyCode, std::uint64_t modifiers)
{
    std::uint32_t plainState = 0, state = 0;
    const std::string ignoring = layoutText(keyCode, modifiers & keyboard::kModifierShift, plainState);
    window.input()->key(
        peer::KeyInput{false, keyCode, modifiers, layoutText(keyCode, modifiers, state), ignoring, false});
}

void TestDriver::modifiers(HeadlessWindow& window, std::uint64_t flags)
{
    window.input()->modifiersChanged(flags);
}

void TestDriver::commitText(HeadlessWindow& window, const std::string& text)
{
    window.input()->text(peer::TextInput{true, text, 0, 0});
}

void TestDriver::markText(HeadlessWindow& window, const std::string& text, std::size_t start, std::size_t length)
{
    window.input()->text(peer::TextInput{false, text, start, length});
}

void TestDriver::resize(HeadlessWindow& window, peer::Size content)
{
    window.userResize(content);
}

void TestDriver::move(HeadlessWindow& window, peer::Point topLeft)
{
    window.userMove(topLeft);
}

bool TestDriver::close(HeadlessWindow& window)
{
    return window.userClose();
}

void TestDriver::display(HeadlessWindow& window)
{
    runPending();
    window.displayNow();
}

bool TestDriver::chooseMenuItem(const std::vector<std::string>& titles)
{
    peer::MenuPath path;
    const peer::MenuNode* node = &menuBar().tree();
    for (const std::string& title : titles) {
        std::size_t index = 0;
        while (index < node->children.size() && node->children[index].title != title)
            ++index;
        if (index == node->children.size())
            return false;
        path.push_back(index);
        node = &node->children[index];
    }
    return menuBar().choose(path);
}

unsigned TestDriver::dragOver(HeadlessWindow& window, peer::Point at, const std::string& pasteboard,
                              unsigned operations)
{
    peer::DragDestinationClient* destination = window.dragDestination();
    return destination ? destination->dragUpdated(peer::DragInfo{at, pasteboard, operations}, true) : 0;
}

void TestDriver::dragLeave(HeadlessWindow& window)
{
    if (peer::DragDestinationClient* destination = window.dragDestination())
        destination->dragExited();
}

bool TestDriver::drop(HeadlessWindow& window, peer::Point at, const std::string& pasteboard, unsigned operations)
{
    peer::DragDestinationClient* destination = window.dragDestination();
    return destination && destination->dragPerformed(peer::DragInfo{at, pasteboard, operations});
}

void TestDriver::answerPanel(bool accepted, std::vector<std::string> paths)
{
    m_backend->panels().answers.push_back(peer::PanelResult{accepted, std::move(paths)});
}

} // namespace platform::headless
