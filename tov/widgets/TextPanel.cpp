#include "TOV/TextPanel.h"

#include <algorithm>
#include <cmath>

#include "FEN/Font.h"

namespace CV::TOV::DETAIL {

namespace {

struct TextExtent {
    int widest = 0; // the widest line, in pixels at the scale
    int lineHeight = 0; // lines times the character height, at the scale
    float scale = 1.0f;
};

TextExtent measure(Widget const& widget, std::string const& text)
{
    TextExtent extent;
    FEN::Font const* font = widget.getFontProperty();
    extent.scale = widget.getBackingScaleFactor();
    if (!font)
        return extent;
    font->setBackingScaleFactor(extent.scale);
    int const lines = int(std::count(text.begin(), text.end(), '\n')) + 1;
    extent.widest = font->getStringWidthMultiline(text);
    extent.lineHeight = lines * font->getCharHeight();
    return extent;
}

// Pixels at the scale to points, halves away from zero.
int unscaled(int pixels, float scale)
{
    return int(std::lround(double(pixels) / double(scale)));
}

} // namespace

int widthForText(Widget const& widget, std::string const& text, eTextRotation rotation)
{
    TextExtent const e = measure(widget, text);
    Margin const& m = widget.getMargin();
    return m.left + m.right + unscaled(rotation == eTextHorizontal ? e.widest : e.lineHeight, e.scale);
}

int heightForText(Widget const& widget, std::string const& text, eTextRotation rotation)
{
    TextExtent const e = measure(widget, text);
    Margin const& m = widget.getMargin();
    return m.top + m.bottom + unscaled(rotation == eTextHorizontal ? e.lineHeight : e.widest, e.scale);
}

void resizeToText(Widget& widget, std::string const& text, eTextRotation rotation)
{
    BAS::Point const& max = widget.getMaxSize();
    int width = widthForText(widget, text, rotation);
    if (max.x > 0 && max.x < width)
        width = max.x;
    widget.setSize({width, widget.getSize().y});
    int height = heightForText(widget, text, rotation);
    if (max.y > 0 && max.y < height)
        height = max.y;
    widget.setSize({widget.getSize().x, height});
}

} // namespace CV::TOV::DETAIL
