#pragma once
// The glyph cache of one font file at one pixel size and hinting: the sized
// face, its line metrics and the glyphs rendered so far.
#include "FEN/DETAIL/FTCharBitmap.h"
#include "FEN/DETAIL/FontKey.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace CV {
namespace FEN {
namespace DETAIL {

class FreeType;

class FTRenderCache {
public:
    using FacePtr = std::unique_ptr<FT_FaceRec_, FT_Error (*)(FT_Face)>;

    // Takes the sized face and derives the line metrics. The engine is kept
    // alive as long as the cache: the face belongs to its library and reads
    // the font bytes it holds.
    FTRenderCache(FacePtr face, SizeAndHinting sizeAndHinting, std::shared_ptr<FreeType> engine);
    FTRenderCache(const FTRenderCache&) = delete;
    FTRenderCache& operator=(const FTRenderCache&) = delete;
    ~FTRenderCache();

    // The rendered glyph of the code point, loaded on first request; the
    // '?' glyph when loading fails, null when that fails too. The pointer
    // stays valid as long as the cache.
    const FTCharBitmap* getCharBitmap(char32_t codePoint);

    const SizeAndHinting& getSizeAndHinting() const { return m_sizeAndHinting; }
    int32_t getLineHeight() const { return m_lineHeight; }
    int32_t getAscent() const { return m_ascent; }
    int32_t getUnderlinePosition() const { return m_underlinePosition; }
    int32_t getUnderlineThickness() const { return m_underlineThickness; }
    FT_Face getFace() const { return m_face.get(); }

private:
    void deriveMetrics();
    void deriveMetricsWithoutUnits();
    const FTCharBitmap* loadGlyph(char32_t codePoint);

    std::shared_ptr<FreeType> m_engine;
    FacePtr m_face;
    SizeAndHinting m_sizeAndHinting;
    int32_t m_lineHeight = 0;
    int32_t m_ascent = 0;
    int32_t m_underlinePosition = 0;
    int32_t m_underlineThickness = 0;
    std::unordered_map<char32_t, FTCharBitmap> m_glyphs;
    // The glyphs of the first code points, beside the map, for the common
    // case of Latin text.
    static constexpr char32_t kDirectGlyphs = 256;
    const FTCharBitmap* m_direct[kDirectGlyphs] = {};
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
