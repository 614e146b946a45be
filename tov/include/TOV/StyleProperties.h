#pragma once
// The vocabulary of the style sheets: property names, keyword values, margin
// names and colour-role tags, interned once during static initialisation.
// Readers pass these symbols; nothing re-interns a keyword at lookup time.
#include "cv/symbol.h"

#include <array>
#include <cstdint>

namespace CV::TOV {

namespace properties {

// Read by the widgets, the drawing cache and the stock controls.
extern const cv::symbol drawForeground; // "draw_foreground"
extern const cv::symbol font; // "font"
extern const cv::symbol height; // "height"
extern const cv::symbol maxHeight; // "max-height"
extern const cv::symbol maxWidth; // "max-width"
extern const cv::symbol minHeight; // "min-height"
extern const cv::symbol minWidth; // "min-width"
extern const cv::symbol picture; // "picture"
extern const cv::symbol pictureIncludesMargin; // "picture-includes-margin"
extern const cv::symbol width; // "width"
extern const cv::symbol x; // "x"
extern const cv::symbol y; // "y"
extern const cv::symbol zIndex; // "z-index"
extern const cv::symbol animationIndex; // "animation-index"
extern const cv::symbol dyeMaskAnimationIndex; // "dye-mask-animation-index"
extern const cv::symbol dyeMaskPicture; // "dye-mask-picture"
extern const cv::symbol horizontalAlignment; // "horizontal-alignment"
extern const cv::symbol pictureDisplacement; // "picture-displacement"
extern const cv::symbol pictureIncludeMargin; // "picture-includes-margin" (same symbol)
extern const cv::symbol textDisplacement; // "text-displacement"
extern const cv::symbol verticalAlignment; // "vertical-alignment"
extern const cv::symbol lineSpacing; // "line-spacing"
extern const cv::symbol spacing; // "spacing"

// Named so that sheets may declare them; nothing reads them.
extern const cv::symbol animationsForRange, betweenRows, cancelable, checkstate, color, cursorWidth, enabled, hasFocus,
    hasMinimumSize, hasTitle, hasValue, isActive, isChecked, isHorizontal, isInput, isSeparator, isSubMenu, menuOffsetX,
    menuOffsetY, moveBorder, moveBorderBottom, moveBorderLeft, moveBorderRight, moveBorderTop, row, state, submenuDelay;

// Made by the layout unit.
extern const cv::symbol layout, direction, verticalContentAlignment, horizontalContentAlignment;

namespace values {
extern const cv::symbol auto_, bottom, center, column, left, no, right, row, top;
} // namespace values

} // namespace properties

// The colour roles of the drawing cache's colour lists.
enum eRole : int32_t {
    eBackgroundColor = 0,
    eSelectionBackgroundColor = 1,
    eForegroundColor = 2,
    eSelectionForegroundColor = 3,
    eDyeColor = 4,
    eBackgroundBorderColor = 5,
    eForegroundBorderColor = 6,
};

struct tColorTag {
    cv::symbol name;
    eRole role;
};

namespace Algorithm {
// Inner (0) and outer (1) margins: the whole margin, then left, right, top,
// bottom.
extern const std::array<std::array<cv::symbol, 5>, 2> s_marginPropertyNames;
} // namespace Algorithm

} // namespace CV::TOV
