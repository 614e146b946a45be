#include "FEN/DeviceContext.h"

#include "FEN/DETAIL/QuartzStatics.h"
#include "FEN/Picture.h"

#include <cmath>

namespace CV {
namespace FEN {

namespace {

constexpr CGBitmapInfo kStraightAlpha = kCGBitmapByteOrder32Little | kCGImageAlphaFirst;
constexpr CGBitmapInfo kOpaque = kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst;

// Pixels to points, halves away from zero.
CGFloat toPoints(int pixels, float scale)
{
    return CGFloat(std::lround(double(pixels) * (1.0 / double(scale))));
}

} // namespace

struct DeviceContext::QuartzState {
    CGContextRef context = nullptr;
    CGColorSpaceRef colorSpace = nullptr;
};

DeviceContext::DeviceContext(int width, int height)
    : m_width(width)
    , m_height(height)
    , m_quartz(new QuartzState)
{
    m_quartz->colorSpace = CGColorSpaceRetain(DETAIL::QuartzStatics::instance().colorSpace());
}

DeviceContext::~DeviceContext()
{
    CGColorSpaceRelease(m_quartz->colorSpace);
    delete m_quartz;
}

void DeviceContext::attachOSHandle(CGContextRef context)
{
    m_context = context;
    m_quartz->context = context;
    m_reserved = 0;
    if (context == nullptr)
        return;
    CGContextSaveGState(context);
    CGContextSetShouldAntialias(context, false);
    CGContextSetInterpolationQuality(context, kCGInterpolationNone);
    CGContextSetFillColorSpace(context, m_quartz->colorSpace);
    CGContextSetStrokeColorSpace(context, m_quartz->colorSpace);
    CGContextSetLineWidth(context, 0.1);
    CGContextSetBlendMode(context, kCGBlendModeNormal);
}

void DeviceContext::detachOSHandle()
{
    if (m_context != nullptr)
        CGContextRestoreGState(m_context);
    m_context = nullptr;
    m_quartz->context = nullptr;
    m_reserved = 0;
}

void DeviceContext::updateFromPicture(Picture const& picture, bool alpha)
{
    const int width = picture.getWidth();
    const int height = picture.getHeight();
    const float scale = m_scaleX;
    if (m_context == nullptr || !(scale > 0.0f) || width <= 0 || height <= 0 || picture.getPixels() == nullptr)
        return;
    const size_t bytesPerRow = size_t(width) * 4;
    CGDataProviderRef provider =
        CGDataProviderCreateWithData(nullptr, picture.getPixels(), bytesPerRow * size_t(height), nullptr);
    CGImageRef image =
        CGImageCreate(size_t(width), size_t(height), 8, 32, bytesPerRow, m_quartz->colorSpace,
                      alpha ? kStraightAlpha : kOpaque, provider, nullptr, false, kCGRenderingIntentDefault);
    const CGFloat targetWidth = toPoints(width, scale);
    const CGFloat targetHeight = toPoints(height, scale);
    CGContextSaveGState(m_context);
    // The view is flipped (y down); images draw their first row at the top
    // of an unflipped rectangle, so flip back for the copy.
    CGContextTranslateCTM(m_context, 0, targetHeight);
    CGContextScaleCTM(m_context, 1, -1);
    CGContextDrawImage(m_context, CGRectMake(0, 0, targetWidth, targetHeight), image);
    CGContextRestoreGState(m_context);
    CGImageRelease(image);
    CGDataProviderRelease(provider);
}

} // namespace FEN
} // namespace CV
