#pragma once
// "NSDraggingInfo": what a drag destination's draggingEntered:,
// draggingUpdated:, draggingExited: and performDragOperation: receive:
// draggingLocation (window coordinates), draggingPasteboard (an
// NSPasteboard), draggingSourceOperationMask, draggingSource (nil: drags
// come from the backend), draggingDestinationWindow.
#include "platform/cg/CGGeometry.h"

#include <objc/runtime.h>

#include <string>

namespace platform::appkit {

Class NSDraggingInfoClass();

// A new dragging info (retain count one).
id makeDraggingInfo(NSPoint location, const std::string& pasteboard, unsigned long sourceOperations, id window);

} // namespace platform::appkit
