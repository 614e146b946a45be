#pragma once
#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "FEN/Picture.h"
#include "FEN/PictureCombinerFunctors.h"

namespace CV {
namespace FEN {

namespace PICTURE_DETAIL {
template <class F, class = void> struct EachPixelAlone : std::false_type {
};
template <class F>
struct EachPixelAlone<F, std::void_t<decltype(F::kEachPixelAlone)>> : std::bool_constant<F::kEachPixelAlone> {
};

// Narrow or short tiles are first repeated into a wider tile of at most
// this many pixels a side (a multiple of the tile), so that an area takes
// a few long rows in place of many short tiles.
constexpr int64_t kWideTileWidth = 1024;
constexpr int64_t kWideTileHeight = 64;
// Makes `wide` hold the tile (tw x th at buffer position bx, by of source)
// repeated repeatX times across and repeatY times down, with the source's
// alpha flags; false when it cannot be made.
bool repeatTile(Picture const& source, int64_t bx, int64_t by, int64_t tw, int64_t th, int64_t repeatX, int64_t repeatY,
                Picture& wide);
} // namespace PICTURE_DETAIL

// Combines source pictures onto a target picture through the functor's
// area operation: whole areas, tiles that keep their phase, animation
// frames and nine-patches. Positions x, y, w, h are target drawing
// coordinates, sx, sy source drawing coordinates.
template <class F> class PictureCombiner {
public:
    PictureCombiner(Picture& target, F const& functor)
        : m_target(target)
        , m_functor(functor)
    {
    }
    virtual ~PictureCombiner() = default;

    // The source area w x h at (sx, sy) onto the target at (x, y), clipped.
    void combine(int x, int y, int w, int h, Picture const& source, int sx, int sy);
    // Fills the rectangle with the tile (sx, sy, tw, th), clipped; the tiling
    // stays anchored at (x, y).
    void combineAndRepeatSource(int x, int y, int w, int h, Picture const& source, int sx, int sy, int tw, int th);
    // The same unclipped, entering the first tile at (startX, startY).
    void combineAndRepeatSourceUnclipped(int x, int y, int w, int h, Picture const& source, int sx, int sy, int tw,
                                         int th, int startX, int startY);
    // One animation frame, or the part sourceRect (frame-relative) of it.
    void combineApplySourceAnimations(int x, int y, Picture const& source, unsigned frame, BAS::Rect const* sourceRect);
    // One frame into dest as a nine-patch: corners once, edges and centre
    // tiled; clip (target coordinates) further limits the drawing.
    void combineStretchedApplySourceAnimation(BAS::Rect const& dest, Picture const& source, unsigned frame,
                                              BAS::Rect const* clip);

private:
    // Restores the target's clip state when the nine-patch drawing ends.
    class ClipState {
    public:
        explicit ClipState(Picture& picture)
            : m_picture(picture)
            , m_bClipping(picture.isClipping())
            , m_clip(picture.getClipRect())
        {
        }
        ~ClipState()
        {
            if (m_bClipping)
                m_picture.setClipRect(m_clip);
            else
                m_picture.resetClipRect();
        }
        // Clips the target to the rectangle within the saved clip.
        void limitTo(BAS::Rect const& r)
        {
            if (!m_bClipping) {
                m_picture.setClipRect(r);
                return;
            }
            m_picture.setClipRect(BAS::Rect{std::max(r.left, m_clip.left), std::max(r.top, m_clip.top),
                                            std::min(r.right, m_clip.right), std::min(r.bottom, m_clip.bottom)});
        }

    private:
        Picture& m_picture;
        bool m_bClipping;
        BAS::Rect m_clip;
    };

    static int sum(int64_t a, int64_t b)
    {
        return int(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, a + b)));
    }
    static int64_t floorMod(int64_t a, int64_t b) { return ((a % b) + b) % b; }
    void area(BAS::Rect const& r, Picture const& source, int64_t sx, int64_t sy)
    {
        m_functor.combineArea(m_target, r, source, BAS::Point{sum(sx, 0), sum(sy, 0)});
    }
    // The frame offset in the source, false when it lies outside.
    static bool frameOffset(Picture const& source, unsigned& frame, int& fx, int& fy);
    // Tiles [left, right) x [top, bottom) of the target's pixels, the first
    // tile entered at (phaseX, phaseY).
    void tileArea(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t phaseX, int64_t phaseY,
                  Picture const& source, int64_t sx, int64_t sy, int64_t tw, int64_t th);
    // The same with the tile repeated into a wider one first; false when
    // that does not pay or cannot be done.
    bool tileAreaWidened(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t phaseX, int64_t phaseY,
                         Picture const& source, int64_t sx, int64_t sy, int64_t tw, int64_t th);

    Picture& m_target;
    F const& m_functor;
};

template <class F> void PictureCombiner<F>::combine(int x, int y, int w, int h, Picture const& source, int sx, int sy)
{
    BAS::Rect r{x, y, sum(x, w), sum(y, h)};
    if (!m_target.isClipping()) {
        area(r, source, sx, sy);
        return;
    }
    int dx = 0, dy = 0;
    if (!m_target.checkClipRect(r, &dx, &dy))
        return;
    area(r, source, int64_t(sx) - dx, int64_t(sy) - dy);
}

template <class F>
void PictureCombiner<F>::combineAndRepeatSource(int x, int y, int w, int h, Picture const& source, int sx, int sy,
                                                int tw, int th)
{
    if (tw <= 0 || th <= 0)
        return;
    if (!m_target.isClipping()) {
        combineAndRepeatSourceUnclipped(x, y, w, h, source, sx, sy, tw, th, sx, sy);
        return;
    }
    BAS::Rect r{x, y, sum(x, w), sum(y, h)};
    int dx = 0, dy = 0;
    if (!m_target.checkClipRect(r, &dx, &dy))
        return;
    combineAndRepeatSourceUnclipped(r.left, r.top, sum(r.right, -int64_t(r.left)), sum(r.bottom, -int64_t(r.top)),
                                    source, sx, sy, tw, th, sum(sx, floorMod(-int64_t(dx), tw)),
                                    sum(sy, floorMod(-int64_t(dy), th)));
}

template <class F>
void PictureCombiner<F>::combineAndRepeatSourceUnclipped(int x, int y, int w, int h, Picture const& source, int sx,
                                                         int sy, int tw, int th, int startX, int startY)
{
    if (w <= 0 || h <= 0 || tw <= 0 || th <= 0)
        return;
    // Phase of the first tile, then the rectangle cut to the target's pixels
    // keeping that phase, so that the loops stay within the picture.
    int64_t phaseX = floorMod(int64_t(startX) - sx, tw), phaseY = floorMod(int64_t(startY) - sy, th);
    int64_t left = x, top = y, right = int64_t(x) + w, bottom = int64_t(y) + h;
    BAS::Rect const pixels = m_target.getPixelArea();
    if (left < pixels.left) {
        phaseX = (phaseX + pixels.left - left) % tw;
        left = pixels.left;
    }
    if (top < pixels.top) {
        phaseY = (phaseY + pixels.top - top) % th;
        top = pixels.top;
    }
    right = std::min<int64_t>(right, pixels.right);
    bottom = std::min<int64_t>(bottom, pixels.bottom);
    if (tileAreaWidened(left, top, right, bottom, phaseX, phaseY, source, sx, sy, tw, th))
        return;
    tileArea(left, top, right, bottom, phaseX, phaseY, source, sx, sy, tw, th);
}

template <class F>
void PictureCombiner<F>::tileArea(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t phaseX,
                                  int64_t phaseY, Picture const& source, int64_t sx, int64_t sy, int64_t tw, int64_t th)
{
    for (int64_t bandTop = top, rowPhase = phaseY; bandTop < bottom; rowPhase = 0) {
        int64_t const bandHeight = std::min<int64_t>(bottom - bandTop, th - rowPhase);
        for (int64_t columnLeft = left, columnPhase = phaseX; columnLeft < right; columnPhase = 0) {
            int64_t const columnWidth = std::min<int64_t>(right - columnLeft, tw - columnPhase);
            area(BAS::Rect{int(columnLeft), int(bandTop), int(columnLeft + columnWidth), int(bandTop + bandHeight)},
                 source, sx + columnPhase, sy + rowPhase);
            columnLeft += columnWidth;
        }
        bandTop += bandHeight;
    }
}

// Only for area operations that treat every pixel alone, a source other
// than the target and a tile that lies wholly inside the source's pixels:
// then the wider tile gives the same pixels.
template <class F>
bool PictureCombiner<F>::tileAreaWidened(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t phaseX,
                                         int64_t phaseY, Picture const& source, int64_t sx, int64_t sy, int64_t tw,
                                         int64_t th)
{
    using namespace PICTURE_DETAIL;
    if (!EachPixelAlone<F>::value || &source == &m_target || left >= right || top >= bottom)
        return false;
    int64_t const bx = sx + source.getOrigin().x, by = sy + source.getOrigin().y;
    if (bx < 0 || by < 0 || bx + tw > source.getWidth() || by + th > source.getHeight())
        return false;
    auto repeats = [](int64_t tile, int64_t needed, int64_t most) {
        return std::max<int64_t>(1, std::min(needed, most) / tile);
    };
    int64_t const repeatX = repeats(tw, phaseX + right - left, kWideTileWidth);
    int64_t const repeatY = repeats(th, phaseY + bottom - top, kWideTileHeight);
    if (repeatX * repeatY < 4 || tw * repeatX * th * repeatY > kWideTileWidth * kWideTileHeight * 4)
        return false;
    Picture wide;
    if (!repeatTile(source, bx, by, tw, th, repeatX, repeatY, wide))
        return false;
    tileArea(left, top, right, bottom, phaseX, phaseY, wide, 0, 0, tw * repeatX, th * repeatY);
    return true;
}

template <class F> bool PictureCombiner<F>::frameOffset(Picture const& source, unsigned& frame, int& fx, int& fy)
{
    fx = fy = 0;
    unsigned const frames = source.getNumAnimations();
    if (frames > 1) {
        frame = std::min(frame, frames - 1);
        if (source.getAnimationOrientation() == PictureProperties::eStacked)
            fy = int(int64_t(frame) * source.getAnimationHeight());
        else
            fx = int(int64_t(frame) * source.getAnimationWidth());
    }
    return fx < source.getWidth() && fy < source.getHeight();
}

template <class F>
void PictureCombiner<F>::combineApplySourceAnimations(int x, int y, Picture const& source, unsigned frame,
                                                      BAS::Rect const* sourceRect)
{
    BAS::Rect r = sourceRect ? *sourceRect : BAS::Rect{0, 0, source.getWidth(), source.getHeight()};
    int fx = 0, fy = 0;
    frameOffset(source, frame, fx, fy);
    if (source.getNumAnimations() > 1) {
        r = BAS::Rect{sum(r.left, fx), sum(r.top, fy), sum(r.right, fx), sum(r.bottom, fy)};
        if (!sourceRect) {
            r.right = sum(r.left, source.getAnimationWidth());
            r.bottom = sum(r.top, source.getAnimationHeight());
        }
    }
    if (r.left >= source.getWidth() || r.top >= source.getHeight())
        return;
    combine(x, y, sum(r.right, -int64_t(r.left)), sum(r.bottom, -int64_t(r.top)), source, r.left, r.top);
}

template <class F>
void PictureCombiner<F>::combineStretchedApplySourceAnimation(BAS::Rect const& dest, Picture const& source,
                                                              unsigned frame, BAS::Rect const* clip)
{
    if (source.getResizableFlags() == 0) {
        if (!clip) {
            combineApplySourceAnimations(dest.left, dest.top, source, frame, nullptr);
            return;
        }
        ClipState saved(m_target);
        saved.limitTo(*clip);
        combineApplySourceAnimations(dest.left, dest.top, source, frame, nullptr);
        return;
    }
    unsigned const framePassed = frame;
    int fx = 0, fy = 0;
    if (!frameOffset(source, frame, fx, fy))
        return;
    int64_t const L = source.isHorzResizable() ? source.getFixedLeft() : 0;
    int64_t const R = source.isHorzResizable() ? source.getFixedRight() : 0;
    int64_t const T = source.isVertResizable() ? source.getFixedTop() : 0;
    int64_t const B = source.isVertResizable() ? source.getFixedBottom() : 0;
    int64_t const cw = source.getAnimationWidth() - L - R;
    int64_t const ch = source.getAnimationHeight() - T - B;
    if (L < 0 || R < 0 || T < 0 || B < 0 || cw <= 0 || ch <= 0)
        return;
    std::vector<uint32_t> const& masks = source.getEmptyAreaFlags();
    unsigned const index = source.getNumAnimations() > 1 ? frame : framePassed;
    uint32_t const empty = index < masks.size() ? masks[index] : 0;
    auto drawn = [empty](int bit) { return !(empty & (1u << bit)); };

    ClipState saved(m_target);
    saved.limitTo(clip ? *clip : dest);

    int64_t const left = dest.left, top = dest.top;
    int64_t const right = int64_t(dest.right) - R, bottom = int64_t(dest.bottom) - B;
    int64_t const centreLeft = left + L, middleTop = top + T;
    int64_t const srcCentreX = fx + L, srcRightX = fx + L + cw;
    int64_t const srcMiddleY = fy + T, srcBottomY = fy + T + ch;
    auto put = [&](int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx, int64_t sy) {
        if (w > 0 && h > 0)
            combine(sum(x, 0), sum(y, 0), sum(w, 0), sum(h, 0), source, sum(sx, 0), sum(sy, 0));
    };
    auto tile = [&](int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx, int64_t sy, int64_t tw, int64_t th) {
        if (w > 0 && h > 0)
            combineAndRepeatSource(sum(x, 0), sum(y, 0), sum(w, 0), sum(h, 0), source, sum(sx, 0), sum(sy, 0),
                                   sum(tw, 0), sum(th, 0));
    };
    if (T != 0) {
        if (L != 0 && drawn(0))
            put(left, top, L, T, fx, fy);
        if (drawn(1))
            tile(centreLeft, top, right - centreLeft, T, srcCentreX, fy, cw, T);
        if (R != 0 && drawn(2))
            put(right, top, R, T, srcRightX, fy);
    }
    int64_t const middleHeight = bottom - middleTop;
    if (L != 0 && drawn(3))
        tile(left, middleTop, L, middleHeight, fx, srcMiddleY, L, ch);
    if (drawn(4))
        tile(centreLeft, middleTop, right - centreLeft, middleHeight, srcCentreX, srcMiddleY, cw, ch);
    if (R != 0 && drawn(5))
        tile(right, middleTop, R, middleHeight, srcRightX, srcMiddleY, R, ch);
    if (B != 0) {
        if (L != 0 && drawn(6))
            put(left, bottom, L, B, fx, srcBottomY);
        if (drawn(7))
            tile(centreLeft, bottom, right - centreLeft, B, srcCentreX, srcBottomY, cw, B);
        if (R != 0 && drawn(8))
            put(right, bottom, R, B, srcRightX, srcBottomY);
    }
}

template <class F>
void Picture::putPicture(int x, int y, Picture const& source, unsigned frame, BAS::Rect const* sourceRect)
{
    F functor;
    PictureCombiner<F>(*this, functor).combineApplySourceAnimations(x, y, source, frame, sourceRect);
}

template <class F>
void Picture::putStretched(BAS::Rect const& dest, Picture const& source, unsigned frame, BAS::Rect const* clip)
{
    F functor;
    PictureCombiner<F>(*this, functor).combineStretchedApplySourceAnimation(dest, source, frame, clip);
}

} // namespace FEN
} // namespace CV
