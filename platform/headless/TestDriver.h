#pragma once
// The one header tests use to drive the layer headless. For its lifetime a
// test runs on a fresh headless backend, in virtual time, inside an
// autorelease pool; the system clock comes back at the end.
//
//   platform::headless::TestDriver driver;
//   id window = ...;                              // an NSWindow, shown
//   HeadlessWindow& peer = driver.peerOf(window);
//   driver.click(peer, {10, 10});                 // mouseDown:, mouseUp:
//   driver.key(peer, kVK_ANSI_A, "a");            // keyDown:, keyUp:
//   driver.resize(peer, {500, 400});              // windowWillResize:toSize:, setFrameSize:
//   driver.display(peer);                         // drawRect: into the framebuffer
//   EXPECT_EQ(peer.pixel(5, 5), 0xFFFF0000u);
//   driver.advance(std::chrono::milliseconds(40)); // timers due fire, in order
//
// Positions are the window's content coordinates in points, top-down (as
// a user sees them); pixels are read back at the backing scale.
#include "platform/alert/AlertAnswers.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/runloop/Clock.h"
#include "platform/runloop/MainLoop.h"

#include <objc/runtime.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

// Virtual key codes of the platform (the keys tests press most).
enum : unsigned short {
    kVK_ANSI_A = 0x00,
    kVK_ANSI_Q = 0x0C,
    kVK_Return = 0x24,
    kVK_Tab = 0x30,
    kVK_Space = 0x31,
    kVK_Delete = 0x33,
    kVK_Escape = 0x35,
    kVK_LeftArrow = 0x7B,
    kVK_RightArrow = 0x7C,
    kVK_DownArrow = 0x7D,
    kVK_UpArrow = 0x7E,
};

// The name of the general pasteboard.
extern const char* const kGeneralPasteboard;

class TestDriver {
public:
    TestDriver();
    ~TestDriver();
    TestDriver(const TestDriver&) = delete;
    TestDriver& operator=(const TestDriver&) = delete;

    HeadlessBackend& backend() { return *m_backend; }
    MainLoop& loop() { return MainLoop::instance(); }

    // Time.
    Clock::Duration elapsed() const;
    // Moves virtual time forward, firing the timers that fall due in order
    // and running posted work in between.
    void advance(Clock::Duration duration);
    // Runs what is ready without moving time.
    void runPending();

    // Screens: "WIDTHxHEIGHT[@SCALE],..." as in VARANTO_HEADLESS_SCREENS.
    void setScreens(const std::string& screens);

    // Windows: the visible ones, front first; the peer of an NSWindow.
    std::vector<HeadlessWindow*> windows() const;
    HeadlessWindow& peerOf(id window) const;

    // Mouse (button 0 left, 1 right, 2 middle; modifiers are the platform's
    // flags, keyboard/ModifierFlags.h). The window counts presses into
    // clicks in virtual time: a press within 400 ms and 5 points of the last
    // one of the same button continues its series (advance time to start a
    // new one).
    void mouseDown(HeadlessWindow& window, peer::Point at, int button = 0, std::uint64_t modifiers = 0);
    void mouseUp(HeadlessWindow& window, peer::Point at, int button = 0, std::uint64_t modifiers = 0);
    void click(HeadlessWindow& window, peer::Point at, int button = 0, std::uint64_t modifiers = 0);
    // Motion; with buttons held (bit n: button n) a drag.
    void moveMouse(HeadlessWindow& window, peer::Point to, unsigned buttons = 0, std::uint64_t modifiers = 0);
    // Motion by a distance (relative mouse mode: the pointer stays at).
    void moveMouseBy(HeadlessWindow& window, peer::Point at, double deltaX, double deltaY);
    void leave(HeadlessWindow& window, peer::Point at);
    void scroll(HeadlessWindow& window, peer::Point at, double deltaX, double deltaY, bool precise = false,
                std::uint64_t modifiers = 0);

    // Keys: characters as typed (with modifiers applied); the ones without
    // modifiers default to the same text.
    void keyDown(HeadlessWindow& window, unsigned short keyCode, const std::string& characters = "",
                 std::uint64_t modifiers = 0, std::optional<std::string> ignoringModifiers = std::nullopt);
    void keyUp(HeadlessWindow& window, unsigned short keyCode, const std::string& characters = "",
               std::uint64_t modifiers = 0);
    void key(HeadlessWindow& window, unsigned short keyCode, const std::string& characters = "",
             std::uint64_t modifiers = 0);
    // Keys typed on the current keyboard layout (keyboard::InputSources):
    // the characters are the layout's for the key with the modifiers, or
    // the key event characters of keys that type no text (a
    // dead key gives none and puts its accent on the next key typed), those
    // ignoring modifiers the layout's with Shift alone (none for a dead
    // key); repeat marks an auto-repeated key down.
    void typeKeyDown(HeadlessWindow& window, unsigned short keyCode, std::uint64_t modifiers = 0, bool repeat = false);
    void typeKeyUp(HeadlessWindow& window, unsigned short keyCode, std::uint64_t modifiers = 0);
    void modifiers(HeadlessWindow& window, std::uint64_t flags);
    // Text from an input method: committed, or marked (composing).
    void commitText(HeadlessWindow& window, const std::string& text);
    void markText(HeadlessWindow& window, const std::string& text, std::size_t selectionStart = 0,
                  std::size_t selectionLength = 0);

    // The window as the user handles it.
    void resize(HeadlessWindow& window, peer::Size content);
    void move(HeadlessWindow& window, peer::Point topLeft);
    // The close button; true when the window closed.
    bool close(HeadlessWindow& window);
    // Runs posted work, then draws what is invalid now.
    void display(HeadlessWindow& window);

    // Menus: the item reached by titles from the menu bar down; false when
    // there is none or it cannot be chosen.
    bool chooseMenuItem(const std::vector<std::string>& titles);
    HeadlessMenuBar& menuBar() { return m_backend->menuBar(); }

    HeadlessCursor& cursor() { return m_backend->cursor(); }
    pasteboard::InProcessPasteboard& pasteboard(const std::string& name = kGeneralPasteboard)
    {
        return m_backend->pasteboard(name);
    }
    // A drag the program started (finish it with drag().finish(...)).
    HeadlessDragSession& drag() { return m_backend->dragSession(); }
    // A drag coming from elsewhere, with the data on the pasteboard named
    // and the operations its source allows: over the window (the operation
    // the destination answers), leaving it, dropped (whether it was taken).
    unsigned dragOver(HeadlessWindow& window, peer::Point at, const std::string& pasteboard, unsigned operations);
    void dragLeave(HeadlessWindow& window);
    bool drop(HeadlessWindow& window, peer::Point at, const std::string& pasteboard, unsigned operations);

    // Panels: answers waiting for the next panels (in order), and every
    // panel shown so far.
    void answerPanel(bool accepted, std::vector<std::string> paths = {});
    const std::vector<peer::PanelOptions>& panelsShown() const { return m_backend->panels().shown; }
    bool panelRunning() const { return m_backend->panels().running; }

    // Alerts (on the main thread): the next ones are answered by the
    // buttons labelled so, in order (an unknown label: the default button);
    // the headings of every alert shown so far.
    void answerAlert(const std::string& buttonLabel) { AlertAnswers::add(buttonLabel); }
    const std::vector<std::string>& alertsShown() const { return m_backend->alertsShown().headings; }

    // The keyboard focus goes to the window, or with null to another
    // program.
    void focus(HeadlessWindow* window) { m_backend->desktop().focus(window); }

    // Power: announces sleep and returns the answer given so far.
    std::optional<bool> sleep() { return m_backend->power().sleep(); }
    void wake() { m_backend->power().wake(); }

private:
    HeadlessBackend* m_backend;
    std::shared_ptr<Clock> m_previousClock;
    Clock::TimePoint m_start;
    std::unique_ptr<objc::AutoreleasePool> m_pool;
    std::uint32_t m_deadKeyState = 0; // of the keys typed on the layout
};

} // namespace platform::headless
