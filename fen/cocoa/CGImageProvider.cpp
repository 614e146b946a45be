#include "FEN/DETAIL/CGImageProvider.h"

#include "FEN/DETAIL/QuartzStatics.h"
#include "FEN/Picture.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"

namespace CV {
namespace FEN {
namespace DETAIL {

namespace objc = platform::objc;

uint32_t premultiplyPixel(uint32_t pixel)
{
    const uint32_t alpha = pixel >> 24;
    if (alpha == 255)
        return pixel;
    auto channel = [alpha](uint32_t value) { return (value * alpha + 127) / 255; };
    return (alpha << 24) | (channel((pixel >> 16) & 0xFF) << 16) | (channel((pixel >> 8) & 0xFF) << 8) |
        channel(pixel & 0xFF);
}

CGImageProvider::CGImageProvider(Picture const& picture, bool premultiplied)
    : m_width(picture.getWidth())
    , m_height(picture.getHeight())
{
    if (m_width <= 0 || m_height <= 0 || picture.getPixels() == nullptr)
        return;
    const size_t count = size_t(m_width) * size_t(m_height);
    const size_t bytesPerRow = (size_t(m_width) * 32 + 7) / 8;
    const bool withAlpha = picture.hasAlphaChannel();
    const void* pixels = picture.getPixels();
    if (withAlpha && premultiplied) {
        // Pictures hold straight alpha: premultiply a copy.
        m_premultiplied.assign(picture.getPixels(), picture.getPixels() + count);
        for (uint32_t& pixel : m_premultiplied)
            pixel = premultiplyPixel(pixel);
        pixels = m_premultiplied.data();
    }
    CGBitmapInfo info = kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst;
    if (withAlpha)
        info = kCGBitmapByteOrder32Little | (premultiplied ? kCGImageAlphaPremultipliedFirst : kCGImageAlphaFirst);
    m_provider = CGDataProviderCreateWithData(nullptr, pixels, size_t(m_height) * bytesPerRow, nullptr);
    m_image =
        CGImageCreate(size_t(m_width), size_t(m_height), 8, 32, bytesPerRow, QuartzStatics::instance().colorSpace(),
                      info, m_provider, nullptr, false, kCGRenderingIntentDefault);
}

CGImageProvider::~CGImageProvider()
{
    CGImageRelease(m_image);
    CGDataProviderRelease(m_provider);
}

id createNSImageFromPicture(Picture const& picture, bool premultiplied)
{
    CGImageProvider provider(picture, premultiplied);
    if (provider.getImage() == nullptr)
        return nil;
    const NSSize size = NSMakeSize(provider.getWidth(), provider.getHeight());
    id image =
        objc::send<id>(objc::NSObject::alloc(objc::ObjectRuntime::lookUpClass("NSImage")), "initWithSize:", size);
    if (image == nil)
        return nil;
    objc::send<void>(image, "lockFocus");
    id current = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSGraphicsContext"), "currentContext");
    auto port = current != nil ? objc::send<CGContextRef>(current, "graphicsPort") : nullptr;
    if (port != nullptr)
        CGContextDrawImage(port, CGRectMake(0, 0, size.width, size.height), provider.getImage());
    objc::send<void>(image, "unlockFocus");
    return image;
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
