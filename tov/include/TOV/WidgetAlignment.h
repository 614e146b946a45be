#pragma once
// Directions in which a container stacks its children, and the text
// alignments that style keywords name.
#include <string>

namespace CV::TOV {

enum eWidgetAlignment : int {
    eAlignLeftToRight = 1,
    eAlignTopToBottom = 16,
    eAlignBottomToTop = 256,
    eAlignRightToLeft = 4096,
};

enum eTextAlignment : int {
    eTextCenter = 0,
    eTextRight = 1,
    eTextBottom = 16,
    eTextTop = 256,
    eTextLeft = 4096,
};

// "left", "right", "center"; any other text aligns left.
eTextAlignment getHorizontalAlignment(std::string const& keyword);
// "top", "bottom", "center"; any other text aligns to the top.
eTextAlignment getVerticalAlignment(std::string const& keyword);

} // namespace CV::TOV
