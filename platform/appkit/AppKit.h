#pragma once
// The AppKit stand-ins (and the protocols they declare), registered in the object run time as a whole (the
// object run time's ensureStandInClasses does it, so that class factories
// running in static initialisers find them as superclasses).
#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/MenuBarBridge.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSCursor.h"
#include "platform/appkit/NSDraggingInfo.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSGraphicsContext.h"
#include "platform/appkit/NSImage.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/NSPasteboard.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSSavePanel.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NSTextInputClient.h"
#include "platform/appkit/NSTimer.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"

namespace platform::appkit {

void registerAppKitClasses();

} // namespace platform::appkit
