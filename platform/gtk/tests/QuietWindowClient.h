#pragma once
// A window client that draws nothing and only notes how often the window
// was drawn and whether it has the focus; it lets the window close unless
// told otherwise.
#include "platform/peer/WindowPeer.h"

namespace desktop_test {

class QuietWindowClient : public platform::peer::WindowClient {
public:
    int draws = 0;
    bool focused = false;
    bool allowClose = true;

    void windowMoved(platform::peer::Point) override { }
    void windowResized(platform::peer::Size) override { }
    bool windowShouldClose() override { return allowClose; }
    void windowClosed() override { }
    void windowFocusChanged(bool isFocused) override { focused = isFocused; }
    void windowMinimizedChanged(bool) override { }
    void windowBackingScaleChanged(double) override { }
    void draw(CGContextRef, const platform::peer::Rect&) override { ++draws; }
};

} // namespace desktop_test
