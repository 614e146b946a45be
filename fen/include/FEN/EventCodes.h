#pragma once
// The event codes of the framework, one family per enumeration:
//   eTimerEvent::TimerTick, eMouseEvent::MouseButton, eWindowEvent::Closed, ...
// Receivers test the ranges: 2 timer, 1000-1099 mouse, 1100-1199 keys,
// 1200-1299 commands, 1300-1399 drag and drop, 10000-10099 application,
// 1000000-1000015 window.
#include <cstdint>

namespace CV {
namespace FEN {

struct eTimerEvent {
    enum : unsigned {
        TimerTick = 2,
    };
};

struct eMouseEvent {
    enum : unsigned {
        MouseButton = 1000,
        MouseDrag = 1001,
        MouseMove = 1002,
        MouseWheel = 1003,
        MouseEnter = 1004,
        MouseLeave = 1005,
        MouseRelativeMove = 1006,
    };
};

struct eKeyEvent {
    enum : unsigned {
        KeyDown = 1100,
        KeyUp = 1101,
        TextInput = 1102,
        ModifiersChanged = 1103,
        MarkedText = 1104,
        TextCommand = 1105,
    };
};

struct eCommandEvent {
    enum : unsigned {
        CommandExecute = 1200,
        CommandValidate = 1201,
        MenuWillOpen = 1202,
    };
};

struct eDragDropEvent {
    enum : unsigned {
        DragRequest = 1300,
        DragDrop = 1301,
        DragLeave = 1303,
        DragFinished = 1304,
    };
};

struct eApplicationEvent {
    enum : unsigned {
        AppActivated = 10000,
        AppDeactivated = 10001,
        MayQuit = 10002,
        OpenFile = 10003,
        DisplaysChanged = 10005,
    };
};

struct eWindowEvent {
    enum : unsigned {
        Created = 1000000,
        Closed = 1000001,
        Paint = 1000002,
        SizeChanged = 1000003,
        Moved = 1000004,
        BecameMain = 1000005,
        ResignedMain = 1000006,
        CaptureLost = 1000007,
        BecameKey = 1000008,
        ResignedKey = 1000009,
        WillResize = 1000010,
        IdealSize = 1000011,
        ShouldClose = 1000012,
        AboutToShow = 1000013,
        BackingScaleChanged = 1000015,
    };
};

// The standard commands (four-character codes).
struct eStdCommand {
    enum : int32_t {
        Quit = 0x71756974, // 'quit'
    };
};

// Mouse buttons and their states in MouseButtonEventData.
struct eMouseButton {
    enum : int32_t {
        None = 0,
        Left = 1,
        Right = 2,
        Middle = 4,
    };
};

struct eMouseButtonState {
    enum : int32_t {
        Down = 1,
        Up = 2,
        DoubleClick = 3,
    };
};

// The code families as ranges.
inline bool isMouseEvent(unsigned code)
{
    return code >= 1000 && code <= 1099;
}
inline bool isKeyEvent(unsigned code)
{
    return code >= 1100 && code <= 1199;
}
inline bool isCommandEvent(unsigned code)
{
    return code >= 1200 && code <= 1299;
}
inline bool isDragDropEvent(unsigned code)
{
    return code >= 1300 && code <= 1399;
}

} // namespace FEN
} // namespace CV
