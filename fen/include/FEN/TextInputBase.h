#pragma once
// The text-input client of a window: an editable widget registers itself
// through the window while it takes text (WindowBase::setTextInputClient)
// and the platform view asks it about its ranges and tells it about marked
// text. Ranges are in UTF-16 units of the client's text.
#include "BAS/Rect.h"
#include "FEN/TextRange.h"

namespace CV {
namespace FEN {

class TextInputBase {
public:
    virtual ~TextInputBase() = default;
    // The length of the client's text.
    virtual int64_t getTextLength() const = 0;
    virtual TextRange getSelectedRange() const = 0;
    virtual void selectAll() = 0;
    // The rectangle (left, top, right, bottom) of the range's first line in
    // screen coordinates: origin at the top left of the main screen, y
    // downwards.
    virtual BAS::Rect getFirstRectForRange(TextRange const& range) const = 0;
    // Location -1 (length 0) ends the marked text.
    virtual void setMarkedRange(TextRange const& range) = 0;
    virtual TextRange getMarkedRange() const = 0;
};

} // namespace FEN
} // namespace CV
