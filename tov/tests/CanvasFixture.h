#pragma once
// A background canvas with pixel probes and a test font of box glyphs.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BAS/MemoryStream.h"
#include "FEN/DETAIL/FreeType.h"
#include "FEN/Font.h"
#include "TOV/BackgroundDrawingCanvas.h"

namespace CV::TOV::TEST {

constexpr unsigned kRed = 0xFFFF0000u;
constexpr unsigned kGreen = 0xFF00FF00u;
constexpr unsigned kBlue = 0xFF0000FFu;

// The test font of box glyphs (10-pixel capitals at size 10).
class TestFont {
public:
    FEN::Font& get(int size = 10)
    {
        if (!m_font) {
            std::ifstream in(std::string(VARANTO_TEST_FONT_DIR) + "/test-1000.ttf", std::ios::binary);
            m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            BAS::MemoryStream stream;
            stream.init(BAS::IStorage::eAccessRead, m_bytes.data(), m_bytes.size());
            FEN::Font::CreateData data;
            data.name = "test-1000.ttf";
            data.size = size;
            data.engine = m_engine.get();
            m_font = std::make_unique<FEN::Font>(stream, data);
            EXPECT_GT(m_font->getStringWidth("A", 1), 0) << "the test font did not load";
        }
        return *m_font;
    }

private:
    std::shared_ptr<FEN::DETAIL::FreeType> m_engine = FEN::DETAIL::FreeType::create();
    std::vector<uint8_t> m_bytes;
    std::unique_ptr<FEN::Font> m_font;
};

// The pixel at device coordinates, 0xAARRGGBB.
inline unsigned pixelOf(Canvas const& canvas, int x, int y)
{
    FEN::Picture const& p = canvas.getPicture();
    return p.getPixels()[y * p.getWidth() + x];
}

// Pixels other than the background inside the device rectangle.
inline int paintedIn(Canvas const& canvas, BAS::Rect r, unsigned background = 0)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += pixelOf(canvas, x, y) != background;
    return n;
}

// A picture of the size filled with the colour, alpha flag set.
inline std::unique_ptr<FEN::Picture> solidPicture(int w, int h, unsigned colour)
{
    auto p = std::make_unique<FEN::Picture>();
    p->setSize(w, h, true);
    p->setAlphaChannel(true);
    p->clear(colour);
    return p;
}

class CanvasTest : public ::testing::Test {
protected:
    // A canvas of the logical size at the scale, cleared to transparent.
    BackgroundDrawingCanvas& canvasOf(BAS::Point size, float scale = 1.0f)
    {
        canvas = std::make_unique<BackgroundDrawingCanvas>();
        canvas->onSize(size);
        canvas->setBackingScaleFactor(scale);
        return *canvas;
    }

    unsigned pixel(int x, int y) const { return pixelOf(*canvas, x, y); }
    int paintedIn(BAS::Rect r, unsigned background = 0) const { return TEST::paintedIn(*canvas, r, background); }
    FEN::Font& font(int size = 10) { return m_font.get(size); }

    std::unique_ptr<BackgroundDrawingCanvas> canvas;

private:
    TestFont m_font;
};

} // namespace CV::TOV::TEST
