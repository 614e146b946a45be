#pragma once
// The content view of framework windows, run-time class "CVCocoaView"
// (superclass "NSView"): reaches its window implementation through the
// instance variable "pImpl" and turns painting, mouse input, frame changes
// and, as the window's delegate, window notifications into window events;
// drags from elsewhere go to the drag-and-drop manager.
// Positions are in the view's flipped coordinates, truncated; a left press
// with Control held is a right press.
//
// Keyboard half (ContentViewKeys.cpp): key downs, key ups and modifier
// changes become KeyDown, KeyUp and ModifiersChanged (bubbling); keys no
// handler takes go through the platform's text input, whose callbacks (the
// view adopts "NSTextInputClient") become TextInput, MarkedText and
// TextCommand, and finally through the key shortcuts.
#include <objc/runtime.h>

#include "BAS/Point.h"

#include <cstdint>
#include <set>

namespace CV {
namespace BAS {
namespace OBJC {
class ClassFactory;
}
} // namespace BAS

namespace FEN {
namespace COCOA {

class WindowImplBase;

class ContentView {
public:
    static Class viewClass();
    // A new view (one reference for the caller) of size for impl; nil when
    // none can be made.
    static id create(WindowImplBase* impl, double width, double height);
    static WindowImplBase* implOf(id view);
    // The view forgets its implementation: its notifications do nothing.
    static void detach(id view);

    // A press (state 1: counted into single and double clicks) or release
    // of the button; false when not handled or the view is detached.
    static bool handleMouseButtonEventWithPosition(id view, id event, BAS::Point position, int button, int state);
    static bool handleMouseDragEvent(id view, id event);
    // A drag over the view (request true) or dropped on it (false), offered
    // to the window through the drag-and-drop manager; the platform drag
    // operation of the effect taken, 0 for none.
    static unsigned long handleDragDropEvent(id view, id sender, bool request);

    // The key being processed by one view (instance variable
    // "pTextInputState", owned by the view).
    struct TextInputState {
        id event = nil; // the key down, retained until its key up
        uint32_t key = 0; // its key word
        bool shortcutHandled = false; // the shortcut step consumed it
        bool textHandled = false; // a text-input event for it was handled
        int32_t depth = 0; // nesting of the key-down handler
    };
    static TextInputState* textInputStateOf(id view);

    // Key words of platform key events: the key code with the event's
    // modifier bits; scan gets the scan code. 0 (and scan 0) for events
    // whose characters are not exactly one UTF-16 unit.
    static uint32_t convertKeyEventToFEN(id event, uint32_t* scan);
    // Each true when the framework handled the key.
    static bool handleKeyDown(id view, id event);
    static bool handleKeyUp(id view, id event);
    static bool handleKeyShortcut(id view);

    // The accelerator commands executing now.
    static std::set<int32_t> s_setLastCommands;

    // Adds the keyboard, text-input and command methods and the protocol
    // to the class being built.
    static void addKeyboardMethods(BAS::OBJC::ClassFactory& factory);
    static void createTextInputState(id view);
    static void deleteTextInputState(id view);

    ContentView() = delete;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
