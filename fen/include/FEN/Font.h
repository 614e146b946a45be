#pragma once
// One typeface at one pixel size, with or without hinting, optionally
// underlined; measures UTF-8 text in whole pixels and draws it into
// pictures. Glyph caches are made per backing scale factor.
#include "BAS/CharSequence.h"
#include "BAS/Rect.h"
#include "BAS/Stream.h"
#include "FEN/DETAIL/FTCharBitmap.h"
#include "FEN/DETAIL/FTRenderCache.h"
#include "FEN/DETAIL/FreeType.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace CV {
namespace FEN {

class Picture;

class Font {
public:
    enum eFlags : uint32_t {
        eUnderline = 0x4,
        eLoadFromResource = 0x8, // read by the skin manager
        eHinting = 0x10,
    };

    enum eAlignment : uint32_t {
        eAlignRight = 0x1,
        eAlignBottom = 0x10,
        eAlignTop = 0x100,
        eAlignLeft = 0x1000,
        eAlignCenter = 0,
    };

    enum eRounding : int32_t {
        eRoundNearest = 0,
        eRoundDown = 1,
        eRoundUp = 2,
    };

    struct CreateData {
        std::string name; // font file within the skin
        uint32_t resourceId = 0; // "TTFd" resource; 0 = none
        int32_t size = 0; // pixels at backing scale 1.0
        uint32_t flags = 0; // eFlags
        DETAIL::FreeType* engine = nullptr;
    };

    // An empty font, then create(data).
    explicit Font(const CreateData& data);
    // An empty font, then create(stream, data).
    Font(BAS::Stream& stream, const CreateData& data);
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    // Loads the "TTFd" resource of the data's id. False when the font has a
    // cache already, the id is 0, the resource is missing or unreadable, or
    // no cache could be made.
    bool create(const CreateData& data);
    // The same with the stream's whole content.
    bool create(BAS::Stream& stream, const CreateData& data);
    bool allocateFont(const CreateData& data, std::vector<uint8_t> bytes);
    // Why the last create failed when the font's data was there but could
    // not be used (the font library's words where it has some); empty
    // otherwise.
    const std::string& getLoadFailure() const { return m_loadFailure; }

    // Selects the scale for measuring and drawing; its cache is made on
    // first use.
    void setBackingScaleFactor(float scale) const;
    float getBackingScaleFactor() const { return m_backingScale; }

    // Width of the text up to NUL, '\n' or byteLimit bytes (-1 = none). A
    // limit inside a multi-byte sequence stops before that sequence.
    int getStringWidth(const char* text, int byteLimit = -1) const;
    // Width of the widest '\n'-separated line.
    int getStringWidthMultiline(const std::string& text) const;
    // Byte offset of the glyph boundary at x.
    int getCharPos(const char* text, int x, eRounding rounding) const;
    // Line height of the current cache; 10 without one.
    int getCharHeight() const;
    // X offset of the first line within width.
    int getHorizontalAlignmentOffset(const char* text, eAlignment alignment, int width) const;

    // Blends one glyph with its pen at x and baseline at y.
    void renderChar(Picture& picture, int x, int y, const DETAIL::FTCharBitmap& glyph, uint32_t colour) const;
    // Draws every line of the text inside box. Malformed UTF-8 throws
    // std::out_of_range; the picture's clip is restored on every path.
    void renderTextMultiline(Picture& picture, const BAS::Rect& box, const BAS::CharSequence<char>& text,
                             uint32_t colour, eAlignment alignment, int lineSpacing) const;

    // The cache of the current scale, or null.
    DETAIL::FTRenderCache* currentCache() const;
    const std::map<float, std::shared_ptr<DETAIL::FTRenderCache>>& renderCaches() const { return m_renderCaches; }

    DETAIL::FreeType* getEngine() const { return m_engine.get(); }
    uint32_t getResourceId() const { return m_resourceId; }
    const std::string& getName() const { return m_name; }
    int32_t getSize() const { return m_size; }
    bool isUnderlined() const { return m_underline; }
    bool isHinting() const { return m_hinting; }

private:
    DETAIL::FontKey key() const;
    int advanceOf(char32_t codePoint) const;
    int firstLineWidth(const char* text, int width) const;

    // Held, so the engine's library outlives the font.
    std::shared_ptr<DETAIL::FreeType> m_engine;
    mutable std::map<float, std::shared_ptr<DETAIL::FTRenderCache>> m_renderCaches;
    uint32_t m_resourceId = 0;
    std::string m_name;
    std::string m_loadFailure;
    int32_t m_size = 0;
    mutable float m_backingScale = 1.0f;
    mutable DETAIL::FTRenderCache* m_current = nullptr;
    bool m_underline = false;
    bool m_hinting = false;
};

inline Font::eAlignment operator|(Font::eAlignment a, Font::eAlignment b)
{
    return Font::eAlignment(uint32_t(a) | uint32_t(b));
}

} // namespace FEN
} // namespace CV
