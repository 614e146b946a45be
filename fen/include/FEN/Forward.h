#pragma once
// Forward declarations of the framework's classes, for headers that only
// pass pointers and references around.
#include <cstdint>

namespace CV {
namespace BAS {
class FileName;
struct Point;
struct Rect;
class Region;
} // namespace BAS

namespace FEN {

class AbstractEventTimerManagerOsBridge;
class AcceleratorManager;
class AppModule;
class Application;
class ClipBoardFormat;
class ClipBoardFormatHandle;
class AsyncEventTargetImpl;
class CursorManager;
class DeviceContext;
class DisplayManager;
class DragDropSupport;
class EventData;
class EventTarget;
class EventTimerManager;
class ExchangeData;
class HMenu;
class HMenuBar;
class IApplication;
class MainWindow;
class Picture;
class PowerManager;
class StandaloneWindow;
class TextInputBase;
class Window;
class WindowBase;
struct WindowState;

namespace DETAIL {
class EventTimerSubscription;
class ImplApplication;
class WindowImpl;
} // namespace DETAIL

namespace COCOA {
class EventTimerManagerMacosBridge;
class StandaloneWindowImpl;
class WindowImpl;
class WindowImplBase;
} // namespace COCOA

// A subscription of an event target to the master timer.
using HEventTimer = DETAIL::EventTimerSubscription*;

} // namespace FEN
} // namespace CV
