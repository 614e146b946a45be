#pragma once
// What a widget paints with during one phase of its painting: the canvas
// (its origin at the widget's absolute position), the part of the window
// being repainted and the widget's clip rectangle. Every operation lays
// out against its whole target rectangle and draws once per rectangle of
// the repaint region that meets it, clipped to that piece.
#include <string>

#include "BAS/Rect.h"
#include "BAS/Region.h"
#include "TOV/Canvas.h"
#include "TOV/Forward.h"

namespace CV::FEN {
class Font;
class Picture;
} // namespace CV::FEN

namespace CV::TOV {

class PaintContext {
public:
    // Phases: before and after the widget's children.
    enum ePhase : int { ePhaseBeforeChildren = 1, ePhaseAfterChildren = 2 };

    PaintContext(Canvas& canvas, BAS::Region const& region, BAS::Rect const& clip, float backingScale, int phase);

    // The walk over the region's rectangles that meet the target (widget
    // coordinates), cut to the clip rectangle.
    BAS::Region::const_intersector intersectBegin(BAS::Rect const& target) const;

    // Fill and one-pixel border, each only when its alpha is not 0.
    void drawFillRect(BAS::Rect const& rect, unsigned fill, unsigned border);
    void drawText(std::string const& text, BAS::Rect const& rect, FEN::Font const& font, unsigned colour,
                  eTextAlignment alignment, eTextRotation rotation);
    // Stretched into the rectangle when the picture is resizable, otherwise
    // drawn at its top-left corner; nothing without a picture.
    void drawPictureImpl(BAS::Rect const& rect, FEN::Picture const* picture, unsigned frame, PictureCombineMode mode);

    // The colour painted through the mask's alpha, the mask resolved once at
    // the context's scale; nothing without a picture.
    void dyeUsingStretchedAlphaMask(BAS::Rect const& rect, unsigned colour, LazyPicture const& mask, unsigned frame);

    Canvas& getCanvas() const { return m_canvas; }
    float getBackingScaleFactor() const { return m_fBackingScale; }
    int getPhase() const { return m_iPhase; }
    BAS::Rect const& getClip() const { return m_clip; }

private:
    template <typename Draw> void forEachPiece(BAS::Rect const& target, Draw draw) const;

    Canvas& m_canvas;
    BAS::Region const& m_region;
    BAS::Rect const& m_clip;
    float m_fBackingScale;
    int m_iPhase;
};

} // namespace CV::TOV
