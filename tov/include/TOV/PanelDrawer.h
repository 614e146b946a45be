#pragma once
// Paints a styled panel from the widget's drawing cache: background fill,
// border and picture, dye mask, and text in the foreground colour and font,
// cropped to fit and aligned. Everything comes from the style sheet, in the
// widget's current states.
#include <cstdint>
#include <functional>
#include <string>

#include "BAS/CharSequence.h"
#include "BAS/Rect.h"
#include "FEN/StringCropper.h"
#include "TOV/Canvas.h"
#include "TOV/DrawingCache.h"
#include "TOV/Forward.h"

namespace CV::TOV {

class PanelDrawer {
public:
    PanelDrawer();

    // The background panel over the whole widget, then its dye mask.
    void drawPanelItem(Widget const& widget, PaintContext& context) const;
    // Fill and border of the role; for the background also its picture.
    void drawPanelRect(Widget const& widget, BAS::Rect const& rect, eRole role, PaintContext& context) const;
    void drawDyeMask(Widget const& widget, BAS::Rect const& rect, PaintContext& context) const;
    // The text in the widget's area less its inner margins.
    void drawTextItem(Widget const& widget, std::string const& text, PaintContext& context,
                      eTextRotation rotation) const;
    // With the styled alignment.
    void drawTextItemInRect(Widget const& widget, std::string const& text, BAS::Rect const& rect, PaintContext& context,
                            eTextRotation rotation) const;
    void drawTextItemInRect(Widget const& widget, std::string const& text, BAS::Rect const& rect, PaintContext& context,
                            eTextAlignment alignment, eTextRotation rotation) const;
    // The panel, then the control's text (getText, getTextRotation).
    template <typename T> void drawTextPanelItem(T const& control, PaintContext& context) const
    {
        drawPanelItem(control, context);
        drawTextItem(control, control.getText(), context, control.getTextRotation());
    }

    // The length available to a text: the rectangle's width (rotation 0) or
    // height (rotation 1) less the text displacement; 0 for other rotations.
    int getMaxTextLength(Widget const& widget, BAS::Rect const& rect, eTextRotation rotation) const;
    // The text cropped to the length (logical units) at the scale.
    std::string getCroppedString(Widget const& widget, float scale, std::string const& text, int length) const;
    // The widget's font in its current states, set to its pane's scale.
    FEN::Font const* getFont(Widget const& widget) const;
    int getHorizontalAlignmentOffset(Widget const& widget, char const* text, int width) const;

    std::function<std::string(BAS::CharSequence<char> const&, FEN::Font const&, int)> m_fnTextCropper;
    std::function<void(int&)> m_fnFrameHook;

private:
    // The widget's drawing cache, fetched on first use.
    DrawingCache& cacheOf(Widget const& widget) const;
    BAS::Rect insideMargins(Widget const& widget, DrawingCache const& cache, BAS::Rect rect) const;
    eTextAlignment styledAlignment(DrawingCache const& cache) const;

    mutable DrawingCache* m_pDrawingCache = nullptr;
    FEN::StringCropper m_cropper;
    uint64_t m_uPaletteIndex = 0;
};

} // namespace CV::TOV
