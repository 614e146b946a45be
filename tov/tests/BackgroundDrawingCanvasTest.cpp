#include "CanvasFixture.h"
#include "TOV/LazyPicture.h"
#include "TOV/Lib.h"

namespace CV::TOV::TEST {
namespace {

TEST_F(CanvasTest, SizeAndScaleResizeAndClearThePicture)
{
    auto& c = canvasOf({100, 50});
    c.clear(kRed);
    c.onSize({100, 50});
    EXPECT_EQ(pixel(99, 49), kRed) << "the same size keeps the pixels";

    c.setBackingScaleFactor(2.0f);
    EXPECT_EQ(c.getPicture().getWidth(), 200);
    EXPECT_EQ(c.getPicture().getHeight(), 100);
    EXPECT_EQ(paintedIn({0, 0, 200, 100}), 0);

    c.setOrigin({3, 4});
    EXPECT_EQ(c.getOrigin().x, 3);
    EXPECT_EQ(c.getOrigin().y, 4);
    EXPECT_EQ(c.getPicture().getOrigin().x, 6);

    c.onSize({10, 10});
    EXPECT_EQ(c.getPicture().getWidth(), 20);
}

TEST(BackgroundDrawingCanvas, ComposesTheWayTheLibrarySays)
{
    EXPECT_FALSE(BackgroundDrawingCanvas().getPicture().getUseLegacyAlphaCompositing());
    Lib::s_useLegacyAlphaCompositing = true;
    bool const legacy = BackgroundDrawingCanvas().getPicture().getUseLegacyAlphaCompositing();
    Lib::s_useLegacyAlphaCompositing = false;
    EXPECT_TRUE(legacy);
}

TEST_F(CanvasTest, FillsBordersAndAreasLandOnDevicePixels)
{
    for (float scale : {1.0f, 2.0f}) {
        SCOPED_TRACE(scale);
        auto& c = canvasOf({20, 20}, scale);
        auto at = [&](int v) { return int(v * scale); };
        c.setOrigin({2, 1});
        c.fillRect({1, 1, 5, 4}, kRed); // window (3, 2) to (7, 5)
        c.drawRect({10, 10, 15, 15}, kBlue);
        c.resetOrigin();
        EXPECT_EQ(pixel(at(3), at(2)), kRed);
        EXPECT_EQ(pixel(at(7) - 1, at(5) - 1), kRed);
        EXPECT_EQ(pixel(at(7), at(5)), 0u);
        EXPECT_EQ(pixel(at(12), at(11)), kBlue) << "outline";
        EXPECT_EQ(pixel(at(14), at(14)), 0u) << "inside the outline";

        c.setClip({0, 0, 4, 20});
        c.setAreaColor({0, 15, 10, 20}, kGreen); // not clipped
        c.fillRect({0, 0, 20, 1}, kGreen); // clipped
        c.resetClip();
        EXPECT_EQ(pixel(at(9), at(16)), kGreen);
        EXPECT_EQ(pixel(at(3), 0), kGreen);
        EXPECT_EQ(pixel(at(5), 0), 0u);
    }
}

TEST_F(CanvasTest, SetPixelStaysInsideTheClipAndThePicture)
{
    auto& c = canvasOf({10, 10});
    c.setClip({0, 0, 5, 5});
    c.setPixel({6, 6}, kRed);
    c.setPixel({4, 4}, kRed);
    c.setClip({3, 3, 3, 3});
    c.setPixel({3, 3}, kRed);
    c.resetClip();
    EXPECT_EQ(paintedIn({0, 0, 10, 10}), 1);
    EXPECT_EQ(pixel(4, 4), kRed);

    // An origin that carries the pixel past the picture's edge.
    c.setOrigin({8, 8});
    c.setPixel({5, 5}, kGreen);
    c.setPixel({1, 1}, kGreen);
    c.resetOrigin();
    EXPECT_EQ(paintedIn({0, 0, 10, 10}), 2);
    EXPECT_EQ(pixel(9, 9), kGreen);
}

TEST_F(CanvasTest, LinesAtScaleTwoAreWideAntiAliasedStrokes)
{
    auto& c = canvasOf({20, 10}, 2.0f);
    c.drawLine({0, 2}, {10, 2}, kRed, true);
    EXPECT_EQ(pixel(10, 4) >> 24, 0xFFu) << "inside the 2-pixel stroke";
    EXPECT_EQ(pixel(10, 3) >> 24, 0xFFu);
    EXPECT_EQ(pixel(10, 6), 0u);
    EXPECT_EQ(pixel(21, 4), 0u) << "ends at device x 20";

    // The clip holds for strokes too.
    c.clear(0);
    c.setClip({0, 0, 5, 10});
    c.drawLine({0, 2}, {10, 2}, kRed, false);
    c.resetClip();
    EXPECT_NE(pixel(8, 4), 0u);
    EXPECT_EQ(paintedIn({10, 0, 40, 20}), 0);
}

TEST_F(CanvasTest, LineLengthsScaleByTheWholeFactor)
{
    auto& c = canvasOf({20, 20}, 1.5f);
    c.drawLineV({4, 0}, 10, kRed); // device length 15
    EXPECT_NE(pixel(6, 13), 0u);
    EXPECT_EQ(paintedIn({0, 16, 30, 30}), 0);
    c.drawLineH({0, 12}, 10, kBlue); // device (0, 18) to (15, 18)
    EXPECT_NE(pixel(13, 18), 0u);
    EXPECT_EQ(paintedIn({17, 16, 30, 30}), 0);
}

TEST_F(CanvasTest, PicturesCopiedBlendedStretchedAndDyed)
{
    for (float scale : {1.0f, 2.0f}) {
        SCOPED_TRACE(scale);
        auto& c = canvasOf({40, 20}, scale);
        auto at = [&](int v) { return int(v * scale); };
        auto red = solidPicture(4, 4, kRed);
        c.drawPicture({1, 1}, *red, 0, nullptr, ePictureCopy);
        EXPECT_EQ(pixel(at(1), at(1)), kRed);
        EXPECT_EQ(pixel(at(1) + 4, at(1)), 0u) << "pictures are not scaled";

        BAS::Rect const part{0, 0, 1, 1}; // converted to device pixels
        c.fillRect({10, 0, 20, 10}, 0xFF000000u);
        c.drawPicture({10, 1}, *red, 0, &part, ePictureBlend);
        EXPECT_EQ(pixel(at(10), at(1)), kRed);
        EXPECT_EQ(pixel(at(10) + at(1) - 1, at(1) + at(1) - 1), kRed);
        EXPECT_EQ(pixel(at(10) + at(1), at(1)), 0xFF000000u);

        auto green = solidPicture(4, 4, kGreen);
        green->setFixedLeft(1);
        green->setHorzResizable(true);
        green->setVertResizable(true);
        c.drawPictureStretched({20, 0, 30, 10}, *green, 0, nullptr, ePictureCopy);
        EXPECT_EQ(pixel(at(30) - 1, at(10) - 1), kGreen);
        EXPECT_EQ(pixel(at(30), at(10) - 1), 0u);

        auto mask = solidPicture(4, 4, 0xFF000000u);
        mask->setHorzResizable(true);
        mask->setVertResizable(true);
        c.fillRect({0, 12, 40, 20}, 0xFF101010u);
        c.dyeUsingStretchedAlphaMask({0, 12, 10, 20}, kBlue, *mask, 0, nullptr);
        EXPECT_EQ(pixel(at(5), at(15)), kBlue);
        EXPECT_EQ(pixel(at(15), at(15)), 0xFF101010u);
    }
}

TEST_F(CanvasTest, LazyPicturesDrawAtTheCanvasScale)
{
    auto& c = canvasOf({20, 20}, 2.0f);
    LazyPicture const nothing;
    c.drawPicture({0, 0}, nothing, 0, nullptr, ePictureCopy);
    c.drawPictureStretched({0, 0, 10, 10}, nothing, 0, nullptr, ePictureCopy);
    c.dyeUsingStretchedAlphaMask({0, 0, 10, 10}, kRed, nothing, 0, nullptr);
    EXPECT_EQ(paintedIn({0, 0, 40, 40}), 0);

    LazyPicture const red(std::shared_ptr<FEN::Picture const>(solidPicture(4, 4, kRed)));
    c.drawPicture({1, 1}, red, 0, nullptr, ePictureCopy);
    EXPECT_EQ(paintedIn({0, 0, 40, 40}), 64) << "the picture of scale 1 scaled by 2";

    c.clear(0);
    BAS::Rect const part{0, 0, 1, 1}; // in logical units, like every coordinate
    c.drawPicture({1, 1}, red, 0, &part, ePictureCopy);
    EXPECT_EQ(paintedIn({0, 0, 40, 40}), 4);
    EXPECT_EQ(pixel(3, 3), kRed);
}

// Text is composited by the target's alpha, so it is drawn over an opaque
// background here.
constexpr unsigned kBlack = 0xFF000000u;

TEST_F(CanvasTest, TextLandsInsideItsRectangleAtBothScales)
{
    for (float scale : {1.0f, 2.0f}) {
        SCOPED_TRACE(scale);
        auto& c = canvasOf({60, 30}, scale);
        auto at = [&](int v) { return int(v * scale); };
        c.clear(kBlack);
        c.drawText("AB", {5, 5, 55, 25}, font(), kRed, eTextLeft, eTextHorizontal);
        EXPECT_GT(paintedIn({at(5), at(5), at(55), at(25)}, kBlack), 0);
        EXPECT_EQ(paintedIn({0, 0, at(60), at(5)}, kBlack) + paintedIn({0, 0, at(5), at(30)}, kBlack), 0);

        // Malformed bytes are dropped, not refused.
        c.clear(kBlack);
        c.drawText(std::string("A\xC3(B\xFF", 5), {0, 0, 60, 30}, font(), kRed, eTextLeft, eTextHorizontal);
        EXPECT_GT(paintedIn({0, 0, at(60), at(30)}, kBlack), 0);
    }
}

TEST_F(CanvasTest, RotatedTextRunsUpwardFromTheBottom)
{
    auto& c = canvasOf({40, 120});
    c.clear(kBlack);
    c.drawText("AB", {10, 10, 30, 110}, font(), kRed, eTextBottom, eTextRotated90);
    EXPECT_GT(paintedIn({10, 80, 30, 110}, kBlack), 0) << "starts at the bottom edge";
    EXPECT_EQ(paintedIn({10, 10, 30, 70}, kBlack), 0);
    EXPECT_EQ(paintedIn({0, 0, 10, 120}, kBlack) + paintedIn({30, 0, 40, 120}, kBlack), 0);
}

} // namespace
} // namespace CV::TOV::TEST
