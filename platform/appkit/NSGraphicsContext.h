#pragma once
// "NSGraphicsContext": the drawing target of the running drawRect: (or of
// an image with its focus locked).
//
// Class: currentContext, setCurrentContext:, saveGraphicsState,
// restoreGraphicsState, graphicsContextWithCGContext:flipped:. Instance:
// CGContext and graphicsPort (the CGContextRef), isFlipped.
#include "platform/cg/CGContext.h"

#include <objc/runtime.h>

namespace platform::appkit {

Class NSGraphicsContextClass();

// Makes a context over cg current until the matching pop (main thread).
void pushGraphicsContext(CGContextRef cg, bool flipped);
void popGraphicsContext();

} // namespace platform::appkit
