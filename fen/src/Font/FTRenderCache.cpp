#include "FEN/DETAIL/FTRenderCache.h"

#include "FEN/DETAIL/FreeType.h"

#include FT_BITMAP_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace CV {
namespace FEN {
namespace DETAIL {

namespace {

constexpr FT_Int32 kHintedLoad = FT_LOAD_RENDER | FT_LOAD_NO_AUTOHINT;
constexpr FT_Int32 kUnhintedLoad = FT_LOAD_RENDER | FT_LOAD_NO_HINTING;

int32_t roundedPixels(FT_Pos pos26_6)
{
    return static_cast<int32_t>(std::lround(static_cast<double>(pos26_6) / 64.0));
}

// Copies the bitmap's rows top to bottom into 8-bit coverage. Bitmaps in
// another pixel mode (the 1-bit strikes of bitmap fonts, for one) are
// converted to 8 bits and spread over 0..255.
bool copyCoverage(FT_Library library, const FT_Bitmap& source, FTCharBitmap& glyph)
{
    if (source.rows == 0 || source.width == 0)
        return true;
    if (source.pixel_mode == FT_PIXEL_MODE_GRAY && source.num_grays == 256) {
        const int rows = static_cast<int>(source.rows);
        const int stride = std::abs(source.pitch);
        glyph.pitch = stride;
        glyph.coverage.resize(size_t(rows) * size_t(stride));
        for (int r = 0; r < rows; ++r) {
            // A negative pitch stores the rows bottom up.
            const unsigned char* row =
                source.pitch >= 0 ? source.buffer + size_t(r) * stride : source.buffer + size_t(rows - 1 - r) * stride;
            std::memcpy(glyph.coverage.data() + size_t(r) * stride, row, size_t(stride));
        }
        return true;
    }
    FT_Bitmap gray;
    FT_Bitmap_Init(&gray);
    if (FT_Bitmap_Convert(library, &source, &gray, 1) != 0) {
        FT_Bitmap_Done(library, &gray);
        return false;
    }
    const int levels = std::max(2, static_cast<int>(gray.num_grays));
    glyph.pitch = static_cast<int32_t>(gray.pitch);
    glyph.coverage.assign(gray.buffer, gray.buffer + size_t(gray.rows) * size_t(gray.pitch));
    for (uint8_t& value : glyph.coverage)
        value = static_cast<uint8_t>(std::min(255, value * 255 / (levels - 1)));
    FT_Bitmap_Done(library, &gray);
    return true;
}

} // namespace

FTRenderCache::FTRenderCache(FacePtr face, SizeAndHinting sizeAndHinting, std::shared_ptr<FreeType> engine)
    : m_engine(std::move(engine))
    , m_face(std::move(face))
    , m_sizeAndHinting(sizeAndHinting)
{
    if (m_face && m_face->units_per_EM != 0)
        deriveMetrics();
    else
        deriveMetricsWithoutUnits();
}

FTRenderCache::~FTRenderCache()
{
    // The face goes before the engine that owns its library.
    m_glyphs.clear();
    m_face.reset();
}

void FTRenderCache::deriveMetrics()
{
    const double px = m_sizeAndHinting.first;
    const double em = m_face->units_per_EM;
    const FT_BBox& box = m_face->bbox;
    m_lineHeight = static_cast<int32_t>(std::lround((double(box.yMax) - double(box.yMin)) * px / em));
    m_ascent = static_cast<int32_t>(std::lround(double(box.yMax) * px / em));
    m_underlinePosition = static_cast<int32_t>(std::lround(double(m_face->underline_position) * px / em));
    m_underlineThickness = static_cast<int32_t>(std::ceil(double(m_face->underline_thickness) * px / em));
    if (m_ascent - m_underlinePosition >= m_lineHeight)
        m_lineHeight += 1;
}

// Faces without design units (bitmap-only fonts) take the metrics of the
// selected strike; a strike without them gets proportions of the pixel
// size.
void FTRenderCache::deriveMetricsWithoutUnits()
{
    const int32_t px = m_sizeAndHinting.first;
    int32_t ascent = 0;
    int32_t descent = 0;
    if (m_face && m_face->size) {
        ascent = roundedPixels(m_face->size->metrics.ascender);
        descent = -roundedPixels(m_face->size->metrics.descender);
    }
    if (ascent + descent <= 0) {
        ascent = static_cast<int32_t>(std::lround(px * 0.8));
        descent = px - ascent;
    }
    m_ascent = ascent;
    m_lineHeight = std::max(1, ascent + descent);
    m_underlineThickness = std::max(1, static_cast<int32_t>(std::lround(px / 14.0)));
    m_underlinePosition = -std::max(1, descent / 2);
    if (m_ascent - m_underlinePosition >= m_lineHeight)
        m_lineHeight = m_ascent - m_underlinePosition + 1;
}

const FTCharBitmap* FTRenderCache::getCharBitmap(char32_t codePoint)
{
    if (codePoint < kDirectGlyphs && m_direct[codePoint] != nullptr)
        return m_direct[codePoint];
    auto found = m_glyphs.find(codePoint);
    if (found != m_glyphs.end())
        return &found->second;
    if (const FTCharBitmap* loaded = loadGlyph(codePoint))
        return loaded;
    if (codePoint == U'?')
        return nullptr;
    return getCharBitmap(U'?');
}

const FTCharBitmap* FTRenderCache::loadGlyph(char32_t codePoint)
{
    if (!m_face)
        return nullptr;
    const FT_Int32 flags = m_sizeAndHinting.second ? kHintedLoad : kUnhintedLoad;
    if (FT_Load_Char(m_face.get(), codePoint, flags) != 0)
        return nullptr;
    const FT_GlyphSlot slot = m_face->glyph;
    FTCharBitmap glyph;
    glyph.advance = static_cast<int32_t>(slot->advance.x);
    glyph.top = slot->bitmap_top;
    glyph.left = slot->bitmap_left;
    glyph.width = static_cast<int32_t>(slot->bitmap.width);
    glyph.rows = static_cast<int32_t>(slot->bitmap.rows);
    if (!copyCoverage(m_face->glyph->library, slot->bitmap, glyph))
        return nullptr;
    const FTCharBitmap* stored = &m_glyphs.emplace(codePoint, std::move(glyph)).first->second;
    if (codePoint < kDirectGlyphs)
        m_direct[codePoint] = stored;
    return stored;
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
