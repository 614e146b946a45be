#include "TOV/BackgroundDrawingCanvas.h"

#include <cmath>
#include <cstring>

#include "AggLine.h"
#include "BAS/StringUtil.h"
#include "FEN/Font.h"
#include "FEN/PictureCombiner.h"
#include "FEN/PictureCombinerFunctors.h"
#include "TOV/LazyPicture.h"
#include "TOV/Lib.h"

namespace CV::TOV {

namespace {

using FEN::PictureCombinerFunctors::BlendUsingAlpha;
using FEN::PictureCombinerFunctors::CopySource;
using FEN::PictureCombinerFunctors::DyeUsingAlphaMask;

bool contains(BAS::Rect const& r, BAS::Point const& p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool isEmpty(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

// The alignment as seen in a frame turned by 90 degrees.
FEN::Font::eAlignment rotatedAlignment(eTextAlignment alignment)
{
    uint32_t const a = uint32_t(alignment);
    uint32_t rotated = 0;
    if (a & eTextBottom)
        rotated |= eTextLeft;
    if (a & eTextTop)
        rotated |= eTextRight;
    if (a & eTextLeft)
        rotated |= eTextTop;
    if (a & eTextRight)
        rotated |= eTextBottom;
    return FEN::Font::eAlignment(rotated);
}

// The text as far as its first NUL byte, with malformed UTF-8 removed
// (text rendering refuses it).
std::string drawableText(std::string const& text)
{
    std::string const upToNul(text.c_str());
    return BAS::StringUtil::fromUTF_filter<char>(upToNul);
}

} // namespace

Canvas::~Canvas() = default;

BackgroundDrawingCanvas::BackgroundDrawingCanvas()
    : m_pBuffer(std::make_unique<BGDrawBuffer>())
{
    m_pBuffer->setUseLegacyAlphaCompositing(Lib::s_useLegacyAlphaCompositing);
}

BackgroundDrawingCanvas::~BackgroundDrawingCanvas() = default;

int BackgroundDrawingCanvas::toDevice(float v) const
{
    return int(std::lroundf(v * m_fScale));
}

BAS::Point BackgroundDrawingCanvas::toDevice(BAS::Point const& p) const
{
    return {toDevice(float(p.x)), toDevice(float(p.y))};
}

BAS::Rect BackgroundDrawingCanvas::toDevice(BAS::Rect const& r) const
{
    return {toDevice(float(r.left)), toDevice(float(r.top)), toDevice(float(r.right)), toDevice(float(r.bottom))};
}

// ---- state ---------------------------------------------------------------------

void BackgroundDrawingCanvas::setAlphaChannel(bool alpha)
{
    m_pBuffer->setAlphaChannel(alpha);
}

void BackgroundDrawingCanvas::resetClip()
{
    m_pBuffer->resetClipRect();
}

void BackgroundDrawingCanvas::setClip(BAS::Rect const& rect)
{
    m_pBuffer->setClipRect(toDevice(rect));
}

void BackgroundDrawingCanvas::resetOrigin()
{
    m_ptOrigin = {0, 0};
    m_pBuffer->setOrigin(m_ptOrigin);
}

void BackgroundDrawingCanvas::setOrigin(BAS::Point const& origin)
{
    m_ptOrigin = toDevice(origin);
    m_pBuffer->setOrigin(m_ptOrigin);
}

BAS::Point BackgroundDrawingCanvas::getOrigin() const
{
    float const inverse = 1.0f / m_fScale;
    return {int(std::lroundf(float(m_ptOrigin.x) * inverse)), int(std::lroundf(float(m_ptOrigin.y) * inverse))};
}

void BackgroundDrawingCanvas::resizeBuffer()
{
    m_pBuffer->setSize(toDevice(float(m_ptSize.x)), toDevice(float(m_ptSize.y)), true);
    m_pBuffer->clear(0);
}

void BackgroundDrawingCanvas::onSize(BAS::Point const& size)
{
    if (!m_bOwnsBuffer || (size.x == m_ptSize.x && size.y == m_ptSize.y))
        return;
    m_ptSize = size;
    resizeBuffer();
}

void BackgroundDrawingCanvas::setBackingScaleFactor(float scale)
{
    if (scale == m_fScale)
        return;
    m_fScale = scale;
    resizeBuffer();
}

void BackgroundDrawingCanvas::clear(unsigned colour)
{
    m_pBuffer->clear(colour);
}

// ---- lines and areas -------------------------------------------------------------

void BackgroundDrawingCanvas::setPixel(BAS::Point const& position, unsigned colour)
{
    // Without a clip the drawable area (relative to the origin) bounds the
    // pixel, so an origin never carries it outside the picture.
    BAS::Rect const area = m_pBuffer->isClipping() ? m_pBuffer->getClipRect() : m_pBuffer->getDrawableArea();
    BAS::Point const d = toDevice(position);
    if (!isEmpty(area) && contains(area, d))
        m_pBuffer->setPixelUC(d.x, d.y, colour);
}

void BackgroundDrawingCanvas::drawAALine(BAS::Point const& from, BAS::Point const& to, unsigned colour)
{
    DETAIL::drawAggLine(*m_pBuffer, {from, to}, colour, m_fScale);
}

void BackgroundDrawingCanvas::drawLine(BAS::Point const& from, BAS::Point const& to, unsigned colour, bool)
{
    if (m_fScale == 1.0f)
        m_pBuffer->drawLine(from.x, from.y, to.x, to.y, colour);
    else
        drawAALine(toDevice(from), toDevice(to), colour);
}

void BackgroundDrawingCanvas::drawLineV(BAS::Point const& from, int length, unsigned colour)
{
    if (m_fScale == 1.0f) {
        m_pBuffer->drawLineV(from.x, from.y, length, colour);
        return;
    }
    BAS::Point const d = toDevice(from);
    drawAALine(d, {d.x, d.y + toDevice(float(length))}, colour);
}

void BackgroundDrawingCanvas::drawLineH(BAS::Point const& from, int length, unsigned colour)
{
    if (m_fScale == 1.0f) {
        m_pBuffer->drawLineH(from.x, from.y, length, colour);
        return;
    }
    BAS::Point const d = toDevice(from);
    drawAALine(d, {d.x + toDevice(float(length)), d.y}, colour);
}

void BackgroundDrawingCanvas::drawLineAA(float x1, float y1, float x2, float y2, unsigned colour)
{
    if (m_fScale == 1.0f) {
        m_pBuffer->drawLineAA(x1, y1, x2, y2, colour);
        return;
    }
    drawAALine({int(x1 * m_fScale), int(y1 * m_fScale)}, {int(x2 * m_fScale), int(y2 * m_fScale)}, colour);
}

void BackgroundDrawingCanvas::drawRect(BAS::Rect const& rect, unsigned colour)
{
    BAS::Rect const d = toDevice(rect);
    m_pBuffer->drawRectangle(d.left, d.top, d.right - d.left, d.bottom - d.top, colour);
}

void BackgroundDrawingCanvas::fillRect(BAS::Rect const& rect, unsigned colour)
{
    BAS::Rect const d = toDevice(rect);
    m_pBuffer->fillArea(d.left, d.top, d.right - d.left, d.bottom - d.top, colour);
}

void BackgroundDrawingCanvas::setAreaColor(BAS::Rect const& rect, unsigned colour)
{
    m_pBuffer->setAreaColor(toDevice(rect), colour);
}

void BackgroundDrawingCanvas::invertArea(BAS::Rect const& rect)
{
    BAS::Rect const d = toDevice(rect);
    m_pBuffer->invertArea(d.left, d.top, d.right - d.left, d.bottom - d.top);
}

// ---- pictures ----------------------------------------------------------------------

void BackgroundDrawingCanvas::drawPicture(BAS::Point const& position, FEN::Picture const& picture, unsigned frame,
                                          BAS::Rect const* source, PictureCombineMode mode)
{
    BAS::Point const d = toDevice(position);
    BAS::Rect deviceSource{};
    if (source)
        deviceSource = toDevice(*source);
    BAS::Rect const* s = source ? &deviceSource : nullptr;
    if (mode == ePictureCopy)
        m_pBuffer->putPicture<CopySource>(d.x, d.y, picture, frame, s);
    else
        m_pBuffer->putPicture<BlendUsingAlpha>(d.x, d.y, picture, frame, s);
}

// The source part is taken in the resolved picture's own pixels, so it is
// converted like every other coordinate.
void BackgroundDrawingCanvas::drawPicture(BAS::Point const& position, LazyPicture const& picture, unsigned frame,
                                          BAS::Rect const* source, PictureCombineMode mode)
{
    if (FEN::Picture const* resolved = picture.resolve(m_fScale))
        drawPicture(position, *resolved, frame, source, mode);
}

void BackgroundDrawingCanvas::drawPictureStretched(BAS::Rect const& target, LazyPicture const& picture, unsigned frame,
                                                   BAS::Rect const* source, PictureCombineMode mode)
{
    if (FEN::Picture const* resolved = picture.resolve(m_fScale))
        drawPictureStretched(target, *resolved, frame, source, mode);
}

void BackgroundDrawingCanvas::dyeUsingStretchedAlphaMask(BAS::Rect const& target, unsigned colour,
                                                         LazyPicture const& mask, unsigned frame,
                                                         BAS::Rect const* source)
{
    if (FEN::Picture const* resolved = mask.resolve(m_fScale))
        dyeUsingStretchedAlphaMask(target, colour, *resolved, frame, source);
}

// The picture operations stretch the whole frame; their last argument is a
// further clip in target coordinates, which the canvas does not need (its
// clip is the buffer's), so it passes none. A source part is not supported
// by the stretching and is ignored.
void BackgroundDrawingCanvas::drawPictureStretched(BAS::Rect const& target, FEN::Picture const& picture, unsigned frame,
                                                   BAS::Rect const*, PictureCombineMode mode)
{
    BAS::Rect const d = toDevice(target);
    if (mode == ePictureCopy)
        m_pBuffer->putStretched<CopySource>(d, picture, frame, nullptr);
    else
        m_pBuffer->putStretched<BlendUsingAlpha>(d, picture, frame, nullptr);
}

void BackgroundDrawingCanvas::dyeUsingStretchedAlphaMask(BAS::Rect const& target, unsigned colour,
                                                         FEN::Picture const& mask, unsigned frame, BAS::Rect const*)
{
    DyeUsingAlphaMask const dye(colour); // the combiner keeps a reference
    FEN::PictureCombiner<DyeUsingAlphaMask> combiner(*m_pBuffer, dye);
    combiner.combineStretchedApplySourceAnimation(toDevice(target), mask, frame, nullptr);
}

// ---- text ----------------------------------------------------------------------------

void BackgroundDrawingCanvas::drawText(std::string const& text, BAS::Rect const& rect, FEN::Font const& font,
                                       unsigned colour, eTextAlignment alignment, eTextRotation rotation)
{
    font.setBackingScaleFactor(m_fScale);
    std::string const shown = drawableText(text);
    if (rotation == eTextHorizontal)
        font.renderTextMultiline(*m_pBuffer, toDevice(rect), shown, colour, FEN::Font::eAlignment(alignment), 0);
    else
        drawText90Degree(toDevice(rect), font, shown, colour, alignment);
}

void BackgroundDrawingCanvas::drawText90Degree(BAS::Rect const& r, FEN::Font const& font, std::string const& text,
                                               unsigned colour, eTextAlignment alignment)
{
    FEN::Picture& buffer = *m_pBuffer;
    BAS::Point const origin = buffer.getOrigin();
    BAS::Rect visible{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, buffer.getWidth() - origin.x),
                      std::min(r.bottom, buffer.getHeight() - origin.y)};
    if (buffer.getWidth() <= 0 || buffer.getHeight() <= 0 || isEmpty(r) || isEmpty(visible))
        visible = {0, 0, 0, 0};
    int const height = r.bottom - r.top, width = r.right - r.left;
    if (!m_rotationScratch.setSize(height, width, true))
        return;
    m_rotationScratch.clear(0);
    BAS::Rect const scratchClip = m_rotationScratch.getClipRect();
    BAS::Rect const bufferClip = buffer.isClipping() ? buffer.getClipRect() : buffer.getDrawableArea();
    auto scratchPoint = [&](int x, int y) { return BAS::Point{r.bottom - 1 - y, x - r.left}; };

    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x) {
            BAS::Point const s = scratchPoint(x, y);
            if (contains(scratchClip, s))
                m_rotationScratch.setPixelUC(s.x, s.y,
                                             buffer.getPixels()[(y + origin.y) * buffer.getWidth() + x + origin.x]);
        }
    font.renderTextMultiline(m_rotationScratch, {0, 0, height, width}, text, colour, rotatedAlignment(alignment), 0);
    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x) {
            BAS::Point const s = scratchPoint(x, y);
            if (contains(bufferClip, {x, y}) && contains(scratchClip, s))
                buffer.setPixelUC(x, y, m_rotationScratch.getPixels()[s.y * height + s.x]);
        }
}

} // namespace CV::TOV
