#pragma once
// The payload records of the events (EventCodes.h). The code alone tells
// the receiver which record the pointer designates. Every record is owned
// by the sender and lives on its stack for the duration of the call; a
// receiver writes into it only where the field says so and never keeps the
// pointer.
#include "BAS/Point.h"
#include "FEN/Forward.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace FEN {

// The empty base; also the scratch record of events that carry nothing.
class EventData { };

// Mouse position in the window's content coordinates (y downwards) and
// the eKeyModifier bits.
class MouseEventData : public EventData {
public:
    BAS::Point position{0, 0};
    uint32_t modifiers = 0;
};

class MouseButtonEventData : public MouseEventData {
public:
    int32_t button = 0; // eMouseButton
    int32_t state = 0; // eMouseButtonState
};

class MouseWheelEventData : public MouseEventData {
public:
    int32_t delta = 0;
    int32_t axis = 0; // 0 horizontal, 1 vertical
    static int getDeltaUnit() { return 1; }
};

class MouseRelativeMoveEventData : public MouseEventData {
public:
    double deltaX = 0;
    double deltaY = 0;
};

// Key word: eKeyCode in bits 0-16, eKeyModifier bits above.
class KeyEventData : public EventData {
public:
    uint32_t key = 0;
    uint32_t scanCode = 0;
    bool notRepeat = true; // false for an auto-repeated key down
};

class ModifiersEventData : public EventData {
public:
    uint32_t modifiers = 0;
    uint32_t virtualKeyCode = 0;
};

class TextEventData : public EventData {
public:
    std::string text; // UTF-8
};

class MarkedTextEventData : public EventData {
public:
    std::string text; // UTF-8
    uint64_t caret = 0; // location plus length of the selection, UTF-16 units
};

class KeyCommandEventData : public EventData {
public:
    int32_t command = 0;
    int32_t extendSelection = 0;
};

class CommandEventData : public EventData {
public:
    explicit CommandEventData(int32_t command = 0)
        : command(command)
    {
    }
    int32_t command;
};

class MenuEventData : public EventData {
public:
    int32_t command = -1; // the item's tag, -1 for the whole menu
    HMenu* menu = nullptr;
};

// Answers of questions (MayQuit, ShouldClose): preset true, a handler
// writes false to refuse.
class AnswerEventData : public EventData {
public:
    bool answer = true;
};

class FileEventData : public EventData {
public:
    const BAS::FileName* file = nullptr;
};

class PaintEventData : public EventData {
public:
    DeviceContext* dc = nullptr; // valid only during the call
};

class SizeEventData : public EventData {
public:
    BAS::Point size{0, 0};
};

class ResizeLimitsEventData : public EventData {
public:
    enum : uint32_t {
        MinimumValid = 1,
        MaximumValid = 2,
    };
    uint32_t flags = 0;
    BAS::Point minimum{0, 0};
    BAS::Point maximum{0, 0};
};

class ScaleEventData : public EventData {
public:
    float scale = 1.0f;
};

class TimerEventData : public EventData {
public:
    HEventTimer timer = nullptr;
    int32_t interval = 0; // milliseconds
};

class DragEventData : public EventData {
public:
    BAS::Point position{0, 0};
    uint32_t modifiers = 0;
    ExchangeData* data = nullptr;
    int32_t dropEffect = 0; // set by the accepting target

    // The dragged data, read through the installed drag-and-drop delegate.
    bool getFormat(ClipBoardFormat& format) const;
    bool containsFormat(ClipBoardFormatHandle const& handle) const;
};

class DragDropRequestEventData : public DragEventData {
public:
    uint32_t allowedEffects = 0; // 1 copy, 2 move, 4 link
    std::vector<EventTarget*> observers; // filled by handlers
    EventTarget* acceptingTarget = nullptr; // set by the handler that takes the drop
};

class DragDropReceiveEventData : public DragEventData { };

class DragDropLeavedEventData : public EventData { };

class DragDropResultEventData : public EventData {
public:
    int32_t result = 0;
};

} // namespace FEN
} // namespace CV
