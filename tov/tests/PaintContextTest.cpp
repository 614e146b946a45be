#include "TOV/PaintContext.h"
#include "CanvasFixture.h"
#include "TOV/LazyPicture.h"

namespace CV::TOV::TEST {
namespace {

constexpr unsigned kBlack = 0xFF000000u;

class PaintContextTest : public CanvasTest {
protected:
    void SetUp() override { BAS::Region::init(); }
    void TearDown() override
    {
        region.clear();
        BAS::Region::deInit();
    }

    BAS::Region region;
};

TEST_F(PaintContextTest, FillAndBorderAreEachDrawnOnlyWithAlpha)
{
    struct Case {
        const char* name;
        unsigned fill, border;
        unsigned centre, edge;
    };
    Case const cases[] = {
        {"fill and border", kRed, kBlue, kRed, kBlue},
        {"border only", 0x00FF0000u, kBlue, 0u, kBlue},
        {"fill only", kRed, 0x000000FFu, kRed, kRed},
        {"nothing", 0x00FF0000u, 0x000000FFu, 0u, 0u},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        auto& canvas = canvasOf({40, 40});
        region.clear();
        region.addFast({0, 0, 40, 40});
        BAS::Rect const clip{0, 0, 40, 40};
        canvas.setOrigin({10, 20});
        PaintContext context(canvas, region, clip, 1.0f, PaintContext::ePhaseBeforeChildren);
        context.drawFillRect({0, 0, 5, 5}, c.fill, c.border);
        canvas.resetOrigin();
        EXPECT_EQ(pixel(12, 22), c.centre);
        EXPECT_EQ(pixel(10, 20), c.edge) << "pieces meet the target at its window position";
        EXPECT_EQ(pixel(15, 25), 0u);
    }
}

TEST_F(PaintContextTest, TargetsOutsideTheClipDrawNothing)
{
    auto& canvas = canvasOf({40, 40});
    region.addFast({0, 0, 40, 40});
    BAS::Rect const clip{0, 0, 10, 10};
    PaintContext context(canvas, region, clip, 1.0f, PaintContext::ePhaseBeforeChildren);
    context.drawFillRect({20, 20, 30, 30}, kRed, kBlue);
    context.drawFillRect({5, 5, 30, 30}, kRed, 0);
    EXPECT_EQ(paintedIn({0, 0, 40, 40}), 25);
}

TEST_F(PaintContextTest, PaintingPiecewiseEqualsPaintingWhole)
{
    BAS::Rect const target{2, 2, 58, 28};
    BAS::Rect const pieces[] = {{0, 0, 25, 30}, {35, 0, 60, 30}};

    // Once over everything, then kept only inside the pieces.
    auto& whole = canvasOf({60, 30});
    whole.clear(kBlack);
    whole.drawText("ABCD", target, font(), kRed, eTextCenter, eTextHorizontal);
    whole.fillRect({25, 0, 35, 30}, kBlack);
    std::vector<uint32_t> const expected(whole.getPicture().getPixels(), whole.getPicture().getPixels() + 60 * 30);

    auto& piecewise = canvasOf({60, 30});
    piecewise.clear(kBlack);
    for (BAS::Rect const& r : pieces)
        region.addFast(r);
    BAS::Rect const clip{0, 0, 60, 30};
    PaintContext context(piecewise, region, clip, 1.0f, PaintContext::ePhaseBeforeChildren);
    context.drawText("ABCD", target, font(), kRed, eTextCenter, eTextHorizontal);
    std::vector<uint32_t> const actual(piecewise.getPicture().getPixels(),
                                       piecewise.getPicture().getPixels() + 60 * 30);
    EXPECT_GT(paintedIn({0, 0, 60, 30}, kBlack), 0);
    EXPECT_EQ(actual, expected);
}

TEST_F(PaintContextTest, PicturesAreStretchedOnlyWhenResizable)
{
    auto& canvas = canvasOf({40, 40});
    region.addFast({0, 0, 40, 40});
    BAS::Rect const clip{0, 0, 40, 40};
    PaintContext context(canvas, region, clip, 1.0f, PaintContext::ePhaseBeforeChildren);
    auto fixed = solidPicture(4, 4, kRed);
    context.drawPictureImpl({0, 0, 20, 20}, fixed.get(), 0, ePictureCopy);
    EXPECT_EQ(paintedIn({0, 0, 40, 40}), 16);

    auto stretchy = solidPicture(4, 4, kGreen);
    stretchy->setHorzResizable(true);
    stretchy->setVertResizable(true);
    context.drawPictureImpl({20, 20, 40, 40}, stretchy.get(), 0, ePictureCopy);
    EXPECT_EQ(pixel(39, 39), kGreen);
    context.drawPictureImpl({0, 0, 40, 40}, nullptr, 0, ePictureCopy);
    EXPECT_EQ(paintedIn({0, 0, 40, 40}), 16 + 400);
}

TEST_F(PaintContextTest, DyeMasksPaintThroughTheResolvedMask)
{
    auto& canvas = canvasOf({20, 20});
    canvas.clear(kBlack);
    region.addFast({0, 0, 20, 10});
    BAS::Rect const clip{0, 0, 20, 20};
    PaintContext context(canvas, region, clip, 1.0f, PaintContext::ePhaseBeforeChildren);
    context.dyeUsingStretchedAlphaMask({0, 0, 20, 20}, kRed, LazyPicture(), 0);
    EXPECT_EQ(paintedIn({0, 0, 20, 20}, kBlack), 0);

    auto mask = solidPicture(2, 2, 0xFF000000u);
    mask->setHorzResizable(true);
    mask->setVertResizable(true);
    context.dyeUsingStretchedAlphaMask({0, 0, 20, 20}, kRed,
                                       LazyPicture(std::shared_ptr<FEN::Picture const>(std::move(mask))), 0);
    EXPECT_EQ(pixel(15, 5), kRed);
    EXPECT_EQ(pixel(15, 15), kBlack) << "outside the repaint region";
}

} // namespace
} // namespace CV::TOV::TEST
