#pragma once
// The drawing calls the framework makes, over 32-bit pixels in memory:
// bitmap contexts, images over a caller's buffer (never copied), colour
// spaces as tokens (no colour management), and a graphics state of
// translation and scale, one clip rectangle, blend mode and interpolation.
//
// Rows: a context's user space has its origin at the bottom-left (y up)
// while memory holds the top row first; CGContextDrawImage puts an image's
// first row at the top of the target rectangle in user space, so drawing
// into a context flipped with translate (0, h) and scale (1, -1) shows it
// upside down unless the caller flips back, as on the platform.
//
// Pixel formats: 8 bits per component, 32 bits per pixel, with
// kCGBitmapByteOrder32Little (memory order B, G, R, A) and one of
// kCGImageAlphaPremultipliedFirst, kCGImageAlphaFirst (straight alpha;
// images only) or kCGImageAlphaNoneSkipFirst. Other formats are refused
// (null).
#include "platform/cg/CGGeometry.h"

#include <cstddef>
#include <cstdint>

using CGBitmapInfo = std::uint32_t;
enum : CGBitmapInfo {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGBitmapAlphaInfoMask = 0x1F,
    kCGBitmapByteOrderDefault = 0,
    kCGBitmapByteOrder32Little = 2u << 12,
    kCGBitmapByteOrder32Big = 4u << 12,
    kCGBitmapByteOrderMask = 0x7000,
};

enum CGBlendMode { kCGBlendModeNormal = 0, kCGBlendModeCopy = 17 };
enum CGInterpolationQuality {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationHigh = 3,
    kCGInterpolationMedium = 4,
};
enum CGColorRenderingIntent { kCGRenderingIntentDefault = 0 };

struct CGColorSpace;
struct CGContext;
struct CGImage;
struct CGDataProvider;
using CGColorSpaceRef = CGColorSpace*;
using CGContextRef = CGContext*;
using CGImageRef = CGImage*;
using CGDataProviderRef = CGDataProvider*;
using CGDataProviderReleaseDataCallback = void (*)(void* info, const void* data, size_t size);

// Colour-space names.
extern const char* const kCGColorSpaceGenericRGB;
extern const char* const kCGColorSpaceSRGB;

CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
// Null for a name that is not one of the above.
CGColorSpaceRef CGColorSpaceCreateWithName(const char* name);
CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space);
void CGColorSpaceRelease(CGColorSpaceRef space);
// The name a colour space was made with (kCGColorSpaceSRGB for device RGB).
const char* CGColorSpaceGetName(CGColorSpaceRef space);

// A provider over the caller's bytes; release is called with info and data
// when the last reference goes.
CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback release);
CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
void CGDataProviderRelease(CGDataProviderRef provider);

// An image over the provider's bytes (retains the provider, copies nothing).
CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
                         CGColorSpaceRef space, CGBitmapInfo bitmapInfo, CGDataProviderRef provider,
                         const CGFloat* decode, bool shouldInterpolate, CGColorRenderingIntent intent);
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);

// A context over data (not copied, not owned). Null data is not supported.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
                                   CGColorSpaceRef space, CGBitmapInfo bitmapInfo);
CGContextRef CGContextRetain(CGContextRef context);
void CGContextRelease(CGContextRef context);
void* CGBitmapContextGetData(CGContextRef context);
size_t CGBitmapContextGetWidth(CGContextRef context);
size_t CGBitmapContextGetHeight(CGContextRef context);
size_t CGBitmapContextGetBytesPerRow(CGContextRef context);

void CGContextSaveGState(CGContextRef context);
// Restores the last saved state; without one nothing changes.
void CGContextRestoreGState(CGContextRef context);
void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty);
// Scale factors 0 make everything drawn afterwards empty.
void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy);
void CGContextClipToRect(CGContextRef context, CGRect rect);
// The clip in user space.
CGRect CGContextGetClipBoundingBox(CGContextRef context);
void CGContextSetBlendMode(CGContextRef context, CGBlendMode mode);
void CGContextSetInterpolationQuality(CGContextRef context, CGInterpolationQuality quality);
CGInterpolationQuality CGContextGetInterpolationQuality(CGContextRef context);
void CGContextSetShouldAntialias(CGContextRef context, bool antialias);
void CGContextSetFillColorSpace(CGContextRef context, CGColorSpaceRef space);
void CGContextSetStrokeColorSpace(CGContextRef context, CGColorSpaceRef space);
void CGContextSetLineWidth(CGContextRef context, CGFloat width);
void CGContextSetRGBFillColor(CGContextRef context, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
void CGContextFillRect(CGContextRef context, CGRect rect);
void CGContextClearRect(CGContextRef context, CGRect rect);
// Draws image scaled into rect (user space), its first row at the top of
// rect; nearest pixel with kCGInterpolationNone, bilinear otherwise.
void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image);
