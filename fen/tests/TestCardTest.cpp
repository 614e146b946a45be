// Draws a test card with the drawing primitives, nine-patches and blending
// and writes it as fen-test-card.png into the build folder, to look at.
#include <gtest/gtest.h>
#include <png.h>

#include <string>

#include "FEN/Picture.h"
#include "FEN/PictureCombiner.h"
#include "PictureTestSupport.h"

namespace CV {
namespace FEN {
namespace {

using Copy = PictureCombinerFunctors::CopySource;
using Blend = PictureCombinerFunctors::BlendUsingAlpha;

bool writePng(Picture const& picture, std::string const& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = uint32_t(picture.getWidth());
    image.height = uint32_t(picture.getHeight());
    image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.getPixels(), picture.getWidth() * 4, nullptr) != 0;
}

// A 12 x 12 rounded button face with 4-pixel borders and a transparent
// outer corner, as a skin picture would be.
void makeButtonFace(Picture& face)
{
    test::fill(face, 12, 12, 0x00000000);
    face.setAlphaChannel(true);
    face.fillArea(1, 1, 10, 10, 0xFF2060A0);
    face.fillArea(3, 3, 6, 6, 0xFF4090E0);
    face.drawRectangle(0, 1, 12, 10, 0xFF102040);
    face.drawRectangle(1, 0, 10, 12, 0xFF102040);
    face.drawLineH(4, 5, 4, 0xC0FFFFFF);
    face.setVertResizable(true);
    face.setHorzResizable(true);
    face.setFixedTop(4);
    face.setFixedBottom(4);
    face.setFixedLeft(4);
    face.setFixedRight(4);
    face.initEmptyAreaFlags();
}

void drawPrimitives(Picture& card)
{
    card.drawRectangle(8, 8, 144, 104, 0xFFFFFFFF);
    for (int i = 0; i < 8; ++i) {
        card.drawLine(16, 16, 16 + i * 16, 104, 0xFFFFD040);
        card.drawLineAA(80.0f, 16.0f, 80.0f + float(i) * 9.5f, 104.0f, 0xFFFFFFFF);
    }
    card.fillArea(20, 70, 40, 30, 0x8000FF00);
    card.fillArea(40, 60, 40, 30, 0x80FF0000);
    card.invertArea(100, 20, 40, 20);
    card.drawLineV(150, 10, 100, 0xFF40FF40);
    card.drawLineH(10, 110, 140, 0x80FFFFFF);
}

void drawNinePatches(Picture& card)
{
    Picture face;
    makeButtonFace(face);
    BAS::Rect const sizes[] = {{168, 16, 180, 28}, {190, 16, 250, 40}, {168, 50, 310, 70}, {260, 16, 300, 44}};
    for (BAS::Rect const& r : sizes)
        card.putStretched<Copy>(r, face, 0, nullptr);
    BAS::Rect const clip{168, 80, 240, 96};
    card.putStretched<Blend>({168, 80, 310, 110}, face, 0, &clip);
}

void drawBlends(Picture& card)
{
    Picture disc;
    test::fill(disc, 48, 48, 0);
    disc.setAlphaChannel(true);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            int const dx = x - 24, dy = y - 24, d2 = dx * dx + dy * dy;
            if (d2 < 24 * 24)
                disc.pixelRow(y)[x] = uint32_t(255 - d2 * 255 / (24 * 24)) << 24 | 0xFFE040;
        }
    card.fillArea(16, 130, 280, 60, 0xFF303040);
    card.fillArea(16, 160, 280, 30, 0x00000000); // invisible: nothing
    card.setAreaColor({16, 160, 296, 190}, 0x80303040);
    for (int i = 0; i < 4; ++i)
        card.putPicture<Blend>(24 + i * 70, 136, disc, 0, nullptr);
    card.putPicture<Copy>(24 + 35, 136, disc, 0, nullptr);
}

TEST(TestCard, WritesAPictureToLookAt)
{
    Picture card;
    test::fill(card, 320, 200, 0xFF202020);
    card.setAlphaChannel(true);
    drawPrimitives(card);
    drawNinePatches(card);
    drawBlends(card);
    std::string const path = std::string(VARANTO_BINARY_DIR) + "/fen-test-card.png";
    ASSERT_TRUE(writePng(card, path)) << path;
}

} // namespace
} // namespace FEN
} // namespace CV
