#include "platform/appkit/AppKit.h"

namespace platform::appkit {

void registerAppKitClasses()
{
    for (Class (*registration)() : {&NSResponderClass,      &NSViewClass,
                                    &NSWindowClass,         &NSPanelClass,
                                    &NSApplicationClass,    &NSEventClass,
                                    &NSTrackingAreaClass,   &NSGraphicsContextClass,
                                    &NSMenuClass,           &NSMenuItemClass,
                                    &NSScreenClass,         &NSTimer::timerClass,
                                    &NSTimer::runLoopClass, &NSApplication::userDefaultsClass,
                                    &NSImageClass,          &NSCursorClass,
                                    &NSSavePanelClass,      &NSOpenPanelClass,
                                    &NSPasteboardClass,     &NSDraggingInfoClass})
        registration();
    NSTextInputClientProtocol();
}

} // namespace platform::appkit
