#pragma once
// A test widget that writes its mouse, wheel and key calls into a log.
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "TOV/WidgetMouseEvent.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {

using Log = std::vector<std::string>;

// Writes every mouse, wheel and key call into a log shared by all widgets:
// "<name> <code> <x>,<y>" with the widget-level codes by name.
class RecordingWidget : public TestWidget {
public:
    RecordingWidget(std::string name, Log& log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    using Widget::setFlag;

    void onMouse(unsigned code, FEN::MouseEventData* data) override
    {
        std::ostringstream line;
        line << m_name << ' ' << codeName(code) << ' ' << data->position.x << ',' << data->position.y;
        m_log.push_back(line.str());
        if (onMouseHook)
            onMouseHook(code);
    }
    void onWheel(FEN::MouseWheelEventData* data) override
    {
        m_log.push_back(m_name + " wheel " + std::to_string(data->delta) + " axis " + std::to_string(data->axis));
    }
    bool onKey(unsigned, FEN::KeyEventData* data) override
    {
        m_log.push_back(m_name + " key " + std::to_string(data->key));
        return data->key == takesKey;
    }

    static std::string codeName(unsigned code)
    {
        struct Name {
            unsigned base;
            char const* name;
        };
        static Name const names[] = {{eWidgetMouseEvent::WidgetMouseDown, "down"},
                                     {eWidgetMouseEvent::WidgetMouseUp, "up"},
                                     {eWidgetMouseEvent::WidgetClick, "click"},
                                     {eWidgetMouseEvent::WidgetDoubleClick, "double"},
                                     {eWidgetMouseEvent::WidgetMouseDrag, "drag"}};
        for (Name const& n : names)
            if (code > n.base - 1 && code < n.base + 5)
                return std::string(n.name) + std::to_string(code - n.base);
        switch (code) {
        case FEN::eMouseEvent::MouseMove: return "move";
        case FEN::eMouseEvent::MouseEnter: return "enter";
        case FEN::eMouseEvent::MouseLeave: return "leave";
        default: return std::to_string(code);
        }
    }

    std::string m_name;
    Log& m_log;
    uint32_t takesKey = 0;
    std::function<void(unsigned)> onMouseHook;
};

} // namespace CV::TOV::TEST
