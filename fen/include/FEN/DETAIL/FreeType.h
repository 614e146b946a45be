#pragma once
// The font engine's back end: one FreeType library, the font files seen so
// far by key, and their glyph caches.
//
// The back end lives in a shared pointer. Every glyph cache holds it, so the
// library and the font bytes outlive the last face, whatever the order of
// destruction at exit.
#include "FEN/DETAIL/FTFontData.h"
#include "FEN/DETAIL/FontKey.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace CV {
namespace FEN {
namespace DETAIL {

class FTRenderCache;

class FreeType : public std::enable_shared_from_this<FreeType> {
public:
    static std::shared_ptr<FreeType> create();
    FreeType(const FreeType&) = delete;
    FreeType& operator=(const FreeType&) = delete;
    ~FreeType();

    // Registers the bytes under the key; a known key keeps its first bytes.
    FTFontData& addFont(const FontKey& key, std::vector<uint8_t> bytes);
    // Finds the font (registering the bytes when the key is new and the
    // bytes are not empty), then gets its cache. Null on failure, and then
    // the reason in *failure when given (FreeType's words where it has some).
    std::shared_ptr<FTRenderCache> createRenderCache(const FontKey& key, SizeAndHinting sizeAndHinting,
                                                     std::vector<uint8_t> bytes, std::string* failure = nullptr);
    // A live cache of the pair, or a new face over the font's bytes.
    std::shared_ptr<FTRenderCache> generateFontFace(FTFontData& fontData, SizeAndHinting sizeAndHinting,
                                                    std::string* failure = nullptr);

    // Null when the library could not be initialised.
    FT_Library library() const { return m_library.get(); }
    bool knowsFont(const FontKey& key) const { return m_fonts.count(key) != 0; }

private:
    FreeType();

    std::unique_ptr<FT_LibraryRec_, FT_Error (*)(FT_Library)> m_library;
    std::unordered_map<FontKey, FTFontData, FontKeyHash> m_fonts;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
