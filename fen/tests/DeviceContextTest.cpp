#include "FEN/DeviceContext.h"
#include "FEN/DETAIL/CGImageProvider.h"
#include "FEN/Picture.h"
#include "platform/appkit/NSImage.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace CV::FEN;
using platform::headless::HeadlessWindow;
using platform::headless::TestDriver;
namespace objc = platform::objc;

// What the flipped test view does inside drawRect: with the current
// platform context.
std::function<void(CGContextRef)> s_draw;

BOOL yes(id, SEL)
{
    return YES;
}

void drawRect(id, SEL, NSRect)
{
    id context = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSGraphicsContext"), "currentContext");
    if (s_draw)
        s_draw(objc::send<CGContextRef>(context, "CGContext"));
}

Class paintViewClass()
{
    static Class s_class = objc::StandInClass("DeviceContextTestView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("isFlipped", &yes)
                               .method("drawRect:", &drawRect)
                               .registerClass();
    return s_class;
}

// A shown window of 8 x 6 points whose content is one flipped view.
struct PaintWindow {
    explicit PaintWindow(TestDriver& driver)
    {
        window = objc::send<id>(objc::NSObject::alloc(objc::ObjectRuntime::lookUpClass("NSWindow")),
                                "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 8, 6), 15ul, 2ul,
                                BOOL(YES));
        view = objc::send<id>(objc::NSObject::alloc(paintViewClass()), "initWithFrame:", NSMakeRect(0, 0, 8, 6));
        objc::send<void>(objc::send<id>(window, "contentView"), "addSubview:", view);
        objc::send<void>(window, "setReleasedWhenClosed:", BOOL(NO));
        objc::send<void>(window, "orderFront:", id(nil));
        peer = &driver.peerOf(window);
    }
    ~PaintWindow()
    {
        objc::send<void>(window, "close");
        objc::NSObject::release(view);
        objc::NSObject::release(window);
        s_draw = nullptr;
    }
    void paint(TestDriver& driver)
    {
        objc::send<void>(view, "setNeedsDisplay:", BOOL(YES));
        driver.display(*peer);
    }
    id window;
    id view;
    HeadlessWindow* peer;
};

// An opaque picture of w x h pixels: mid grey with a distinct colour in
// each corner.
void cornerPicture(Picture& picture, int w, int h)
{
    picture.setSize(w, h, true);
    picture.clear(0xFF808080);
    picture.getPixels()[0] = 0xFFFF0000;
    picture.getPixels()[w - 1] = 0xFF00FF00;
    picture.getPixels()[(h - 1) * w] = 0xFF0000FF;
    picture.getPixels()[(h - 1) * w + w - 1] = 0xFFFFFF00;
}

void paintWith(DeviceContext& dc, CGContextRef cg, float scale, std::function<void()> body)
{
    dc.attachOSHandle(cg);
    dc.setBackingScaleFactor(scale, scale);
    body();
    dc.detachOSHandle();
}

TEST(DeviceContext, PictureArrivesUprightPixelForPixelAtEachBackingScale)
{
    TestDriver driver;
    for (int scale : {1, 2}) {
        driver.setScreens("1920x1080@" + std::to_string(scale));
        PaintWindow window(driver);
        const int w = 8 * scale, h = 6 * scale;
        Picture picture;
        cornerPicture(picture, w, h);
        DeviceContext dc(0, 0);
        s_draw = [&](CGContextRef cg) {
            paintWith(dc, cg, float(scale), [&] { dc.updateFromPicture(picture, false); });
        };
        window.paint(driver);
        ASSERT_EQ(window.peer->pixelWidth(), w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(window.peer->pixel(x, y), picture.getPixels()[y * w + x])
                    << "scale " << scale << " at " << x << "," << y;
    }
}

TEST(DeviceContext, AlphaIsStraightWhenAskedForAndIgnoredOtherwise)
{
    TestDriver driver;
    PaintWindow window(driver);
    Picture picture;
    picture.setSize(8, 6, true);
    picture.clear(0x80FF0000); // half-transparent red, straight alpha
    DeviceContext dc(0, 0);
    for (bool alpha : {true, false}) {
        s_draw = [&](CGContextRef cg) {
            CGContextClearRect(cg, CGRectMake(0, 0, 8, 6));
            paintWith(dc, cg, 1.0f, [&] { dc.updateFromPicture(picture, alpha); });
        };
        window.paint(driver);
        // The framebuffer holds premultiplied pixels.
        EXPECT_EQ(window.peer->pixel(3, 3), alpha ? 0x80800000u : 0xFFFF0000u) << alpha;
    }
}

TEST(DeviceContext, CopiesNothingWithoutContextOrWithoutPositiveScale)
{
    TestDriver driver;
    PaintWindow window(driver);
    Picture picture;
    cornerPicture(picture, 8, 6);
    DeviceContext dc(0, 0);
    dc.updateFromPicture(picture, false); // never attached
    for (float scale : {0.0f, -1.0f}) {
        s_draw = [&](CGContextRef cg) {
            CGContextClearRect(cg, CGRectMake(0, 0, 8, 6));
            paintWith(dc, cg, scale, [&] { dc.updateFromPicture(picture, false); });
        };
        window.paint(driver);
        EXPECT_EQ(window.peer->pixel(0, 0), 0u) << scale;
    }
    EXPECT_EQ(dc.getOSHandle(), nullptr);
}

TEST(PictureImage, TranslucentPixelsArePremultipliedOnlyInTheImage)
{
    TestDriver driver;
    Picture picture;
    picture.setSize(2, 1, true);
    picture.setAlphaChannel(true);
    picture.getPixels()[0] = 0x80FF0000;
    picture.getPixels()[1] = 0xFF00FF00;
    for (bool premultiplied : {true, false}) {
        id image = DETAIL::createNSImageFromPicture(picture, premultiplied);
        ASSERT_NE(image, nil);
        int width = 0, height = 0;
        const auto& pixels = platform::appkit::imagePixels(image, width, height);
        ASSERT_EQ(width, 2);
        ASSERT_EQ(height, 1);
        // Either way the image shows the same colour.
        EXPECT_EQ(pixels[0], 0x80800000u) << premultiplied;
        EXPECT_EQ(pixels[1], 0xFF00FF00u) << premultiplied;
        objc::NSObject::release(image);
    }
    EXPECT_EQ(picture.getPixels()[0], 0x80FF0000u); // the picture is not touched
}

} // namespace
