#pragma once
// What widget window tests share: the framework tests' module, a widget
// window that counts its timer ticks and paint events, and the creation
// data of a plain titled window. Programs that include it have fen/tests
// among their include roots.
#include "BAS/Rect.h"
#include "FEN/EventCodes.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/Window.h"
#include "fen/tests/FrameworkTestSupport.h"

namespace CV::TOV::TEST {

// A widget window that counts its ticks and the platform's paints.
class CountingWindow : public Window<FEN::StandaloneWindow> {
public:
    bool onEvent(unsigned code, FEN::EventData* data) override
    {
        if (code == FEN::eTimerEvent::TimerTick)
            ++ticks;
        else if (code == FEN::eWindowEvent::Paint)
            ++paints;
        return Window<FEN::StandaloneWindow>::onEvent(code, data);
    }
    int ticks = 0;
    int paints = 0;
};

// A titled window that cannot be resized, whose content is width by height
// points at (left, top) of the screen.
inline FEN::Window::CreateData windowData(int width, int height, int left = 100, int top = 100)
{
    FEN::Window::CreateData data;
    data.flags = FEN::Window::CreateData::SizeFromRect | FEN::Window::CreateData::PositionFromRect;
    data.style = FEN::eWindowStyle::NotResizable;
    data.rect = {left, top, left + width, top + height};
    return data;
}

} // namespace CV::TOV::TEST
