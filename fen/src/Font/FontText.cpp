// Text measuring and rendering of Font.
#include "FEN/Font.h"

#include "BAS/Utf8.h"
#include "FEN/Picture.h"
#include "fen/ipp/IppiBlendCoverage.h"

#include <algorithm>
#include <cmath>

namespace CV {
namespace FEN {

namespace {

// Decodes the code point at text, which is NUL-terminated: a sequence cut
// short by the NUL is malformed, and the decoder stops at the first byte
// that does not continue it. Throws std::out_of_range on malformed text.
size_t decodeAt(const char* text, char32_t& codePoint)
{
    return BAS::DETAIL::Utf8::decodeOrThrow(text, text + 4, codePoint);
}

// As decodeAt, within [text, end).
size_t decodeWithin(const char* text, const char* end, char32_t& codePoint)
{
    return BAS::DETAIL::Utf8::decodeOrThrow(text, end, codePoint);
}

bool endsLine(char32_t codePoint)
{
    return codePoint == 0 || codePoint == U'\n';
}

int pixelsOf(int32_t advance26_6)
{
    return static_cast<int>(std::rint(advance26_6 / 64.0));
}

// Puts the picture's clip state back as it was, on every way out.
class ClipRestorer {
public:
    explicit ClipRestorer(Picture& picture)
        : m_picture(picture)
        , m_wasClipping(picture.isClipping())
        , m_clip(picture.getClipRect())
    {
    }
    ClipRestorer(const ClipRestorer&) = delete;
    ClipRestorer& operator=(const ClipRestorer&) = delete;
    ~ClipRestorer()
    {
        if (m_wasClipping)
            m_picture.setClipRect(m_clip);
        else
            m_picture.resetClipRect();
    }
    bool wasClipping() const { return m_wasClipping; }
    const BAS::Rect& previousClip() const { return m_clip; }

private:
    Picture& m_picture;
    bool m_wasClipping;
    BAS::Rect m_clip;
};

BAS::Rect intersect(const BAS::Rect& a, const BAS::Rect& b)
{
    const BAS::Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        return BAS::Rect{0, 0, 0, 0};
    return r;
}

} // namespace

int Font::advanceOf(char32_t codePoint) const
{
    if (m_current == nullptr)
        return 0;
    const DETAIL::FTCharBitmap* glyph = m_current->getCharBitmap(codePoint);
    return glyph != nullptr ? pixelsOf(glyph->advance) : 0;
}

int Font::getStringWidth(const char* text, int byteLimit) const
{
    if (byteLimit == 0 || text == nullptr)
        return 0;
    int width = 0;
    long consumed = 0;
    for (;;) {
        char32_t codePoint = 0;
        const size_t length = decodeAt(text + consumed, codePoint);
        if (endsLine(codePoint))
            break;
        if (byteLimit > 0 && consumed + long(length) > byteLimit)
            break;
        width += advanceOf(codePoint);
        consumed += long(length);
        if (consumed == byteLimit)
            break;
    }
    return width;
}

int Font::getStringWidthMultiline(const std::string& text) const
{
    int widest = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        widest = std::max(widest, getStringWidth(line.c_str(), -1));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return widest;
}

int Font::getCharPos(const char* text, int x, eRounding rounding) const
{
    if (x <= 0 || text == nullptr)
        return 0;
    int before = 0;
    size_t offset = 0;
    for (;;) {
        char32_t codePoint = 0;
        const size_t length = decodeAt(text + offset, codePoint);
        if (endsLine(codePoint))
            break;
        const int after = before + advanceOf(codePoint);
        if (x < after) {
            const bool include = rounding == eRoundUp || (rounding == eRoundNearest && (after - x) < (x - before));
            if (include)
                offset += length;
            break;
        }
        offset += length;
        before = after;
    }
    return static_cast<int>(offset);
}

int Font::getCharHeight() const
{
    return m_current != nullptr ? m_current->getLineHeight() : 10;
}

int Font::firstLineWidth(const char* text, int width) const
{
    int sum = 0;
    size_t offset = 0;
    while (sum < width) {
        char32_t codePoint = 0;
        const size_t length = decodeAt(text + offset, codePoint);
        if (endsLine(codePoint))
            break;
        sum += advanceOf(codePoint);
        offset += length;
    }
    return sum;
}

int Font::getHorizontalAlignmentOffset(const char* text, eAlignment alignment, int width) const
{
    if ((alignment & eAlignLeft) != 0 || text == nullptr)
        return 0;
    const int sum = firstLineWidth(text, width);
    if (sum >= width)
        return 0;
    if ((alignment & eAlignRight) != 0)
        return width - sum;
    return (width - sum + 1) / 2;
}

void Font::renderChar(Picture& picture, int x, int y, const DETAIL::FTCharBitmap& glyph, uint32_t colour) const
{
    if (m_underline && m_current != nullptr)
        picture.fillArea(x, y - m_current->getUnderlinePosition(), pixelsOf(glyph.advance),
                         m_current->getUnderlineThickness(), colour);
    if (glyph.rows <= 0 || glyph.width <= 0)
        return;
    const uint32_t alpha = colour >> 24;
    if (alpha == 0)
        return;

    // The clip rectangle, kept inside the pixels whatever the origin.
    const BAS::Rect bounds = intersect(picture.getClipRect(), picture.getPixelArea());
    const int64_t x0 = int64_t(x) + glyph.left;
    const int64_t y0 = int64_t(y) - glyph.top;
    const int64_t firstColumn = std::max<int64_t>(x0, bounds.left);
    const int64_t lastColumn = std::min<int64_t>(x0 + glyph.width, bounds.right);
    const int64_t firstRow = std::max<int64_t>(y0, bounds.top);
    const int64_t lastRow = std::min<int64_t>(y0 + glyph.rows, bounds.bottom);
    if (firstColumn >= lastColumn || firstRow >= lastRow)
        return;

    const IppiBlendCoverageRow blendRow = ippiBlendCoverageRowKernel();
    const BAS::Point origin = picture.getOrigin();
    const int32_t count = static_cast<int32_t>(lastColumn - firstColumn);
    for (int64_t row = firstRow; row < lastRow; ++row) {
        const uint8_t* coverage = glyph.coverage.data() + size_t(row - y0) * size_t(glyph.pitch) + (firstColumn - x0);
        uint32_t* pixel = picture.pixelRow(static_cast<int>(row + origin.y)) + (firstColumn + origin.x);
        blendRow(coverage, pixel, count, colour);
    }
}

void Font::renderTextMultiline(Picture& picture, const BAS::Rect& box, const BAS::CharSequence<char>& text,
                               uint32_t colour, eAlignment alignment, int lineSpacing) const
{
    DETAIL::FTRenderCache* cache = m_current;
    if (cache == nullptr || text.empty() || text[0] == 0 || box.right <= box.left || box.bottom <= box.top)
        return;

    ClipRestorer restorer(picture);
    picture.setClipRect(restorer.wasClipping() ? intersect(box, restorer.previousClip()) : box);

    const char* p = text.data();
    const char* const end = p + text.length();
    const int lines = 1 + static_cast<int>(std::count(p, end, '\n'));
    const int lineHeight = cache->getLineHeight();
    const int ascent = cache->getAscent();
    const int block = lines * lineHeight + (lines - 1) * lineSpacing;
    int baseline = 0;
    if ((alignment & eAlignBottom) != 0)
        baseline = box.bottom - block + ascent;
    else if ((alignment & eAlignTop) != 0)
        baseline = box.top + ascent;
    else
        baseline = box.top + ascent + (box.bottom - box.top - block) / 2;
    if (baseline > box.bottom)
        return;

    const int pitch = lineHeight + lineSpacing;
    const int width = box.right - box.left;
    while (p < end) {
        const char* lineEnd = std::find(p, end, '\n');
        if (baseline + lineHeight >= box.top) {
            int x = box.left;
            if ((alignment & eAlignLeft) == 0) {
                int sum = 0;
                for (const char* q = p; q < lineEnd && sum < width;) {
                    char32_t codePoint = 0;
                    q += decodeWithin(q, end, codePoint);
                    sum += advanceOf(codePoint);
                }
                const int spare = width - sum;
                if (spare > 0)
                    x += (alignment & eAlignRight) != 0 ? spare : (spare + 1) / 2;
            }
            for (const char* q = p; q < lineEnd;) {
                char32_t codePoint = 0;
                q += decodeWithin(q, end, codePoint);
                if (x >= box.right)
                    continue;
                if (const DETAIL::FTCharBitmap* glyph = cache->getCharBitmap(codePoint)) {
                    renderChar(picture, x, baseline, *glyph, colour);
                    x += pixelsOf(glyph->advance);
                }
            }
        } else {
            // Above the box: the code points are only checked.
            for (const char* q = p; q < lineEnd;) {
                char32_t codePoint = 0;
                q += decodeWithin(q, end, codePoint);
            }
        }
        p = lineEnd;
        while (p < end && *p == '\n') {
            ++p;
            baseline += pitch;
        }
        if (baseline > box.bottom)
            break;
    }
}

} // namespace FEN
} // namespace CV
