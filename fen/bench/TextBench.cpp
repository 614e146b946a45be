// Measuring and drawing a page of text with the default font, beside
// FreeType's own load-and-render and cairo drawing the same text into an
// image surface (cached glyphs, pixman compositing).
#include "FEN/Font.h"
#include "FEN/Picture.h"

#include "BAS/MemoryStream.h"

#include <benchmark/benchmark.h>
#include <cairo-ft.h>
#include <cairo.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using CV::FEN::Font;
using CV::FEN::Picture;

constexpr int kWidth = 1254;
constexpr int kHeight = 670;
constexpr uint32_t kColour = 0xFF202020;

std::vector<uint8_t> defaultFontBytes()
{
    std::ifstream in(VARANTO_DEFAULT_FONT, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines that fill the page at the pixel size.
std::vector<std::string> pageLines(int px)
{
    const std::string words =
        "The updater finds the keyboard on USB, reads its firmware version and writes the new image "
        "block by block while the window shows a spinning wheel. ";
    const size_t perLine = size_t(kWidth / (px * 0.55));
    const int lines = kHeight / (px + px / 6 + 1);
    std::vector<std::string> page;
    for (int i = 0; i < lines; ++i) {
        std::string line;
        while (line.size() < perLine)
            line += words.substr((i * 7) % 40);
        line.resize(perLine);
        page.push_back(line);
    }
    return page;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    text.pop_back();
    return text;
}

size_t glyphCount(const std::vector<std::string>& lines)
{
    size_t n = 0;
    for (const std::string& line : lines)
        n += line.size();
    return n;
}

std::unique_ptr<Font> makeFont(std::vector<uint8_t>& bytes, int px,
                               const std::shared_ptr<CV::FEN::DETAIL::FreeType>& engine)
{
    CV::BAS::MemoryStream stream;
    stream.init(CV::BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    Font::CreateData data;
    data.name = "DejaVuSans.ttf";
    data.size = px;
    data.flags = Font::eHinting;
    data.engine = engine.get();
    return std::make_unique<Font>(stream, data);
}

void measureAndDraw(const Font& font, Picture& picture, const std::vector<std::string>& lines, const std::string& text)
{
    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, font.getStringWidth(line.c_str()));
    benchmark::DoNotOptimize(widest);
    font.renderTextMultiline(picture, CV::BAS::Rect{0, 0, kWidth, kHeight}, text, kColour,
                             Font::eAlignTop | Font::eAlignLeft, 0);
}

void BM_FontPage(benchmark::State& state, bool warm)
{
    const int px = static_cast<int>(state.range(0));
    std::vector<uint8_t> bytes = defaultFontBytes();
    const std::vector<std::string> lines = pageLines(px);
    const std::string text = joined(lines);
    Picture picture;
    picture.setSize(kWidth, kHeight);
    picture.clear(0xFFFFFFFF);
    auto engine = CV::FEN::DETAIL::FreeType::create();
    auto font = makeFont(bytes, px, engine);
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            font.reset();
            engine = CV::FEN::DETAIL::FreeType::create();
            state.ResumeTiming();
            font = makeFont(bytes, px, engine);
        }
        measureAndDraw(*font, picture, lines, text);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(glyphCount(lines)));
}

void BM_FontPageWarm(benchmark::State& state)
{
    BM_FontPage(state, true);
}
void BM_FontPageCold(benchmark::State& state)
{
    BM_FontPage(state, false);
}

// FreeType alone: every glyph loaded and rendered, no caching, no blending.
void BM_FreeTypeLoadAndRender(benchmark::State& state)
{
    const int px = static_cast<int>(state.range(0));
    const std::vector<std::string> lines = pageLines(px);
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    FT_Face face = nullptr;
    FT_New_Face(library, VARANTO_DEFAULT_FONT, 0, &face);
    FT_Set_Pixel_Sizes(face, 0, px);
    for (auto _ : state) {
        long sum = 0;
        for (const std::string& line : lines)
            for (char c : line) {
                FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER | FT_LOAD_NO_AUTOHINT);
                sum += face->glyph->advance.x;
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(glyphCount(lines)));
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

// Cairo measuring every line and drawing the page into an image surface.
void BM_CairoPage(benchmark::State& state)
{
    const int px = static_cast<int>(state.range(0));
    const std::vector<std::string> lines = pageLines(px);
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    FT_Face face = nullptr;
    FT_New_Face(library, VARANTO_DEFAULT_FONT, 0, &face);
    cairo_font_face_t* fontFace = cairo_ft_font_face_create_for_ft_face(face, 0);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_font_face(cr, fontFace);
    cairo_set_font_size(cr, px);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    cairo_set_source_rgb(cr, 0.125, 0.125, 0.125);
    for (auto _ : state) {
        double widest = 0;
        cairo_text_extents_t text;
        for (const std::string& line : lines) {
            cairo_text_extents(cr, line.c_str(), &text);
            widest = std::max(widest, text.x_advance);
        }
        benchmark::DoNotOptimize(widest);
        double y = extents.ascent;
        for (const std::string& line : lines) {
            cairo_move_to(cr, 0, y);
            cairo_show_text(cr, line.c_str());
            y += extents.height;
        }
        cairo_surface_flush(surface);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(glyphCount(lines)));
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    cairo_font_face_destroy(fontFace);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

BENCHMARK(BM_FontPageWarm)->Arg(12)->Arg(24)->Arg(48)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FontPageCold)->Arg(12)->Arg(24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FreeTypeLoadAndRender)->Arg(12)->Arg(24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CairoPage)->Arg(12)->Arg(24)->Arg(48)->Unit(benchmark::kMicrosecond);

} // namespace
