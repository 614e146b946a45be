#pragma once
// What widget window tests share: the test program's application module, a
// widget window that counts its timer ticks and paint events, and the
// creation data of a plain titled window.
#include "BAS/Rect.h"
#include "FEN/AppModule.h"
#include "FEN/EventCodes.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/Window.h"

namespace CV::TOV::TEST {

// The test program's module; current from before the first test.
class WidgetTestModule : public FEN::AppModule {
public:
    static WidgetTestModule& instance()
    {
        static WidgetTestModule s_module;
        return s_module;
    }
    bool init() override { return true; }
    void deInit(bool) override {}
};
inline bool const s_widgetTestModuleMade = (WidgetTestModule::instance(), true);

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
    data.style = 0x1;
    data.rect = {left, top, left + width, top + height};
    return data;
}

} // namespace CV::TOV::TEST
