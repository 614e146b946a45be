#pragma once
// "NSCursor": the standard cursors (arrowCursor, IBeamCursor,
// crosshairCursor, openHandCursor, closedHandCursor, pointingHandCursor,
// operationNotAllowedCursor, resizeLeftRightCursor, resizeUpDownCursor,
// resizeUpCursor, dragCopyCursor, dragLinkCursor: shared objects) and
// cursors made with initWithImage:hotSpot: (the image's pixels, the hot
// spot from the top-left). set makes a cursor the backend's cursor; push
// and pop keep a stack; currentCursor (class); hide, unhide and
// setHiddenUntilMouseMoves: (class) hide the cursor.
#include <objc/runtime.h>

namespace platform::appkit {

Class NSCursorClass();

} // namespace platform::appkit
