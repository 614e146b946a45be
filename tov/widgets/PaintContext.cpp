#include "TOV/PaintContext.h"

#include <algorithm>

#include "FEN/Picture.h"
#include "TOV/LazyPicture.h"

namespace CV::TOV {

namespace {

bool isEmpty(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

} // namespace

PaintContext::PaintContext(Canvas& canvas, BAS::Region const& region, BAS::Rect const& clip, float backingScale,
                           int phase)
    : m_canvas(canvas)
    , m_region(region)
    , m_clip(clip)
    , m_fBackingScale(backingScale)
    , m_iPhase(phase)
{
}

BAS::Region::const_intersector PaintContext::intersectBegin(BAS::Rect const& target) const
{
    BAS::Point const o = m_canvas.getOrigin();
    BAS::Rect t{target.left + o.x, target.top + o.y, target.right + o.x, target.bottom + o.y};
    BAS::Rect const cut{std::max(t.left, m_clip.left), std::max(t.top, m_clip.top), std::min(t.right, m_clip.right),
                        std::min(t.bottom, m_clip.bottom)};
    if (isEmpty(t) || isEmpty(m_clip) || isEmpty(cut))
        t = {0, 0, 0, 0};
    else
        t = cut;
    return BAS::Region::const_intersector(m_region, t, o);
}

template <typename Draw> void PaintContext::forEachPiece(BAS::Rect const& target, Draw draw) const
{
    for (auto walk = intersectBegin(target); !walk.isDone(); walk.advance()) {
        BAS::Rect const piece = walk.getRect();
        if (!isEmpty(piece))
            draw(piece);
    }
}

void PaintContext::drawFillRect(BAS::Rect const& rect, unsigned fill, unsigned border)
{
    bool const withFill = (fill >> 24) != 0, withBorder = (border >> 24) != 0;
    if (!withFill && !withBorder)
        return;
    forEachPiece(rect, [&](BAS::Rect const& piece) {
        if (withFill)
            m_canvas.fillRect(piece, fill);
        if (withBorder) {
            m_canvas.setClip(piece);
            m_canvas.drawRect(rect, border);
            m_canvas.resetClip();
        }
    });
}

void PaintContext::drawText(std::string const& text, BAS::Rect const& rect, FEN::Font const& font, unsigned colour,
                            eTextAlignment alignment, eTextRotation rotation)
{
    forEachPiece(rect, [&](BAS::Rect const& piece) {
        m_canvas.setClip(piece);
        m_canvas.drawText(text, rect, font, colour, alignment, rotation);
        m_canvas.resetClip();
    });
}

void PaintContext::drawPictureImpl(BAS::Rect const& rect, FEN::Picture const* picture, unsigned frame,
                                   PictureCombineMode mode)
{
    if (!picture)
        return;
    bool const stretched = picture->getResizableFlags() != 0;
    forEachPiece(rect, [&](BAS::Rect const& piece) {
        m_canvas.setClip(piece);
        if (stretched)
            m_canvas.drawPictureStretched(rect, *picture, frame, nullptr, mode);
        else
            m_canvas.drawPicture({rect.left, rect.top}, *picture, frame, nullptr, mode);
        m_canvas.resetClip();
    });
}

void PaintContext::dyeUsingStretchedAlphaMask(BAS::Rect const& rect, unsigned colour, LazyPicture const& mask,
                                              unsigned frame)
{
    FEN::Picture const* picture = mask.resolve(m_fBackingScale);
    if (!picture)
        return;
    forEachPiece(rect, [&](BAS::Rect const& piece) {
        m_canvas.setClip(piece);
        m_canvas.dyeUsingStretchedAlphaMask(rect, colour, *picture, frame, nullptr);
        m_canvas.resetClip();
    });
}

} // namespace CV::TOV
