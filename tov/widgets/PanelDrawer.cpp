#include "TOV/PanelDrawer.h"

#include <cmath>

#include "FEN/Font.h"
#include "FEN/Picture.h"
#include "TOV/LazyPicture.h"
#include "TOV/PaintContext.h"
#include "TOV/StyleSheetManager.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

float paneScaleOf(Widget const& widget)
{
    return widget.getPane() ? widget.getBackingScaleFactor() : 1.0f;
}

BAS::Rect moved(BAS::Rect r, BAS::Point const& d)
{
    return {r.left + d.x, r.top + d.y, r.right + d.x, r.bottom + d.y};
}

} // namespace

PanelDrawer::PanelDrawer() = default;

DrawingCache& PanelDrawer::cacheOf(Widget const& widget) const
{
    if (!m_pDrawingCache)
        m_pDrawingCache = &StyleSheetManager::get().getDrawingCache(widget);
    return *m_pDrawingCache;
}

BAS::Rect PanelDrawer::insideMargins(Widget const& widget, DrawingCache const& cache, BAS::Rect rect) const
{
    bool const* includesMargin = cache.firstApplicable(cache.m_pictureIncludesMargin);
    if (includesMargin && *includesMargin)
        return rect;
    Margin const& m = widget.getMargin();
    return {rect.left + m.left, rect.top + m.top, rect.right - m.right, rect.bottom - m.bottom};
}

eTextAlignment PanelDrawer::styledAlignment(DrawingCache const& cache) const
{
    eTextAlignment const* h = cache.firstApplicable(cache.m_horizontalAlignments);
    eTextAlignment const* v = cache.firstApplicable(cache.m_verticalAlignments);
    return eTextAlignment((h ? *h : eTextLeft) | (v ? *v : eTextCenter));
}

void PanelDrawer::drawPanelItem(Widget const& widget, PaintContext& context) const
{
    BAS::Rect const whole{0, 0, widget.getSize().x, widget.getSize().y};
    drawPanelRect(widget, whole, eBackgroundColor, context);
    drawDyeMask(widget, whole, context);
}

void PanelDrawer::drawPanelRect(Widget const& widget, BAS::Rect const& rect, eRole role, PaintContext& context) const
{
    DrawingCache& cache = cacheOf(widget);
    unsigned const fill = cache.getColor(role, false, m_uPaletteIndex);
    unsigned const border = cache.getColor(role, true, m_uPaletteIndex);
    if (fill || border)
        context.drawFillRect(rect, fill, border);
    if (role != eBackgroundColor)
        return;
    LazyPicture const* lazy = cache.firstApplicable(cache.m_pictures);
    FEN::Picture const* picture = lazy ? lazy->resolve(context.getBackingScaleFactor()) : nullptr;
    if (!picture)
        return;
    int const* index = cache.firstApplicable(cache.m_animationIndexes);
    int frame = index ? *index : 0;
    if (m_fnFrameHook)
        m_fnFrameHook(frame);
    BAS::Rect const target = moved(insideMargins(widget, cache, rect), cache.getPictureDisplacement());
    context.drawPictureImpl(target, picture, unsigned(frame), ePictureCopy);
}

void PanelDrawer::drawDyeMask(Widget const& widget, BAS::Rect const& rect, PaintContext& context) const
{
    DrawingCache& cache = cacheOf(widget);
    LazyPicture const* mask = cache.firstApplicable(cache.m_dyeMasks);
    if (!mask || mask->isEmpty())
        return;
    int const* index = cache.firstApplicable(cache.m_dyeMaskAnimationIndexes);
    int frame = index ? *index : 0;
    if (m_fnFrameHook)
        m_fnFrameHook(frame);
    unsigned const colour = cache.getColor(eDyeColor, false, m_uPaletteIndex);
    BAS::Rect const target = moved(insideMargins(widget, cache, rect), cache.getPictureDisplacement());
    context.dyeUsingStretchedAlphaMask(target, colour, *mask, unsigned(frame));
}

void PanelDrawer::drawTextItem(Widget const& widget, std::string const& text, PaintContext& context,
                               eTextRotation rotation) const
{
    Margin const& m = widget.getMargin();
    BAS::Rect const inner{m.left, m.top, widget.getSize().x - m.right, widget.getSize().y - m.bottom};
    drawTextItemInRect(widget, text, inner, context, rotation);
}

void PanelDrawer::drawTextItemInRect(Widget const& widget, std::string const& text, BAS::Rect const& rect,
                                     PaintContext& context, eTextRotation rotation) const
{
    drawTextItemInRect(widget, text, rect, context, styledAlignment(cacheOf(widget)), rotation);
}

void PanelDrawer::drawTextItemInRect(Widget const& widget, std::string const& text, BAS::Rect const& rect,
                                     PaintContext& context, eTextAlignment alignment, eTextRotation rotation) const
{
    DrawingCache& cache = cacheOf(widget);
    unsigned const colour = cache.getColor(eForegroundColor, false, m_uPaletteIndex);
    if (colour == 0)
        return;
    FEN::Font const* font = getFont(widget);
    if (!font)
        return;
    int const length = getMaxTextLength(widget, rect, rotation);
    std::string const shown = getCroppedString(widget, paneScaleOf(widget), text, length);
    context.drawText(shown, moved(rect, cache.getTextDisplacement()), *font, colour, alignment, rotation);
}

int PanelDrawer::getMaxTextLength(Widget const& widget, BAS::Rect const& rect, eTextRotation rotation) const
{
    BAS::Point const& d = cacheOf(widget).getTextDisplacement();
    if (rotation == eTextHorizontal)
        return rect.right - rect.left - d.x;
    if (rotation == eTextRotated90)
        return rect.bottom - rect.top - d.y;
    return 0;
}

std::string PanelDrawer::getCroppedString(Widget const& widget, float scale, std::string const& text, int length) const
{
    FEN::Font const* font = getFont(widget);
    if (!font)
        return text;
    int const width = int(std::lroundf(float(length) * scale));
    if (m_fnTextCropper)
        return m_fnTextCropper(text, *font, width);
    return m_cropper.cropString(text, *font, width);
}

FEN::Font const* PanelDrawer::getFont(Widget const& widget) const
{
    DrawingCache& cache = cacheOf(widget);
    FEN::Font const* const* styled = cache.firstApplicable(cache.m_fonts);
    // A style that switched the font off ("no") falls back to the default.
    FEN::Font const* font = styled && *styled ? *styled : cache.m_pDefaultFont;
    if (font)
        font->setBackingScaleFactor(paneScaleOf(widget));
    return font;
}

int PanelDrawer::getHorizontalAlignmentOffset(Widget const& widget, char const* text, int width) const
{
    float const scale = paneScaleOf(widget);
    FEN::Font const* font = getFont(widget);
    if (!font)
        return 0;
    eTextAlignment const alignment = styledAlignment(cacheOf(widget));
    int const offset =
        font->getHorizontalAlignmentOffset(text, FEN::Font::eAlignment(alignment), int(std::lroundf(width * scale)));
    return int(std::lroundf(float(offset) / scale));
}

} // namespace CV::TOV
