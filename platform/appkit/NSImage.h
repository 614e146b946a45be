#pragma once
// "NSImage": a picture of premultiplied B, G, R, A pixels at one point per
// pixel. initWithSize: makes a transparent one; lockFocus makes a bitmap
// context over its pixels current (NSGraphicsContext currentContext, user
// space bottom-up) until unlockFocus; initWithCGImage:size: copies an
// image's pixels. size, setSize: (the drawing size; the pixels stay).
#include "platform/cg/CGContext.h"

#include <objc/runtime.h>

#include <cstdint>
#include <vector>

namespace platform::appkit {

Class NSImageClass();

// The pixels of an image, top row first (width x height words).
const std::vector<std::uint32_t>& imagePixels(id image, int& width, int& height);

} // namespace platform::appkit
