#include "platform/appkit/NSImage.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSGraphicsContext.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <cmath>

namespace platform::appkit {

namespace {

const char* const kState = "_image";

struct ImageState {
    NSSize size{0, 0};
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    CGContextRef focus = nullptr;
};

ImageState& state(id self)
{
    return *stateOf<ImageState>(self, kState);
}

void allocate(ImageState& s, NSSize size)
{
    s.size = size;
    s.width = std::max(0, int(std::lround(size.width)));
    s.height = std::max(0, int(std::lround(size.height)));
    s.pixels.assign(std::size_t(s.width) * std::size_t(s.height), 0u);
}

id initWithSize(id self, SEL, NSSize size)
{
    self = objc::sendSuper<id>(self, NSImageClass(), objc::selector("init"));
    if (self) {
        objc::ivar<void*>(self, kState) = new ImageState;
        allocate(state(self), size);
    }
    return self;
}

id initWithCGImage(id self, SEL, CGImageRef image, NSSize size)
{
    const NSSize pixels = NSMakeSize(double(CGImageGetWidth(image)), double(CGImageGetHeight(image)));
    self = initWithSize(self, nullptr, pixels);
    if (self && image) {
        ImageState& s = state(self);
        CGContextRef context = CGBitmapContextCreate(s.pixels.data(), std::size_t(s.width), std::size_t(s.height), 8,
                                                     std::size_t(s.width) * 4, nullptr,
                                                     kCGBitmapByteOrder32Little | kCGImageAlphaPremultipliedFirst);
        CGContextSetBlendMode(context, kCGBlendModeCopy);
        CGContextSetInterpolationQuality(context, kCGInterpolationNone);
        CGContextDrawImage(context, CGRectMake(0, 0, pixels.width, pixels.height), image);
        CGContextRelease(context);
        if (size.width > 0 && size.height > 0)
            s.size = size;
    }
    return self;
}

void deallocImage(id self, SEL sel)
{
    if (ImageState* s = stateOf<ImageState>(self, kState)) {
        CGContextRelease(s->focus);
        delete s;
    }
    objc::sendSuper<void>(self, NSImageClass(), sel);
}

NSSize size(id self, SEL)
{
    return state(self).size;
}
void setSize(id self, SEL, NSSize size)
{
    state(self).size = size;
}

void lockFocus(id self, SEL)
{
    ImageState& s = state(self);
    if (s.focus || s.pixels.empty())
        return;
    s.focus =
        CGBitmapContextCreate(s.pixels.data(), std::size_t(s.width), std::size_t(s.height), 8, std::size_t(s.width) * 4,
                              nullptr, kCGBitmapByteOrder32Little | kCGImageAlphaPremultipliedFirst);
    pushGraphicsContext(s.focus, false);
}

void unlockFocus(id self, SEL)
{
    ImageState& s = state(self);
    if (!s.focus)
        return;
    popGraphicsContext();
    CGContextRelease(s.focus);
    s.focus = nullptr;
}

Class registerClass()
{
    return objc::StandInClass("NSImage", objc::NSObject::rootClass())
        .ivar<void*>(kState)
        .method("initWithSize:", &initWithSize)
        .method("initWithCGImage:size:", &initWithCGImage)
        .method("dealloc", &deallocImage)
        .method("size", &size)
        .method("setSize:", &setSize)
        .method("lockFocus", &lockFocus)
        .method("unlockFocus", &unlockFocus)
        .registerClass();
}

} // namespace

Class NSImageClass()
{
    static Class s_class = registerClass();
    return s_class;
}

const std::vector<std::uint32_t>& imagePixels(id image, int& width, int& height)
{
    ImageState& s = state(image);
    width = s.width;
    height = s.height;
    return s.pixels;
}

} // namespace platform::appkit
