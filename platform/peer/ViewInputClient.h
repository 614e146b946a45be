#pragma once
// The call-back side of a window's content: input delivered up from the
// peer (a GtkDrawingArea's GDK events and GtkIMContext on the desktop;
// scripted input headless).
#include "platform/peer/InputEvents.h"

namespace platform::peer {

class ViewInputClient {
public:
    virtual ~ViewInputClient() = default;
    virtual void mouseButton(const MouseButtonInput& input) = 0;
    virtual void mouseMotion(const MouseMotionInput& input) = 0;
    // The pointer came into (true) or left the content area.
    virtual void mouseCrossing(bool entered, Point location, std::uint64_t modifiers) = 0;
    virtual void wheel(const WheelInput& input) = 0;
    virtual void key(const KeyInput& input) = 0;
    // Only the modifier keys changed.
    virtual void modifiersChanged(std::uint64_t modifiers) = 0;
    virtual void text(const TextInput& input) = 0;
};

} // namespace platform::peer
