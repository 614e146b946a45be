// The style vocabulary and the other statics of the style library, made
// here in one unit so that their order of construction is the order written:
// the empty picture, margin names, colour and palette tags, property names,
// keyword values, the empty symbol, the list of log sinks and the owner of
// the resource manager.
#include "TOV/DrawingCache.h"
#include "TOV/LazyPicture.h"
#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/Selector.h"
#include "TOV/StyleProperties.h"
#include "TOV/StyleSheetErrorsLogSource.h"

#include <string>

namespace CV::TOV {

const LazyPicture LazyPicture::gEmptyPicture;

namespace Algorithm {
const std::array<std::array<cv::symbol, 5>, 2> s_marginPropertyNames = {{
    {cv::symbol(std::string("margin")), cv::symbol(std::string("margin-left")), cv::symbol(std::string("margin-right")),
     cv::symbol(std::string("margin-top")), cv::symbol(std::string("margin-bottom"))},
    {cv::symbol(std::string("outer-margin")), cv::symbol(std::string("outer-margin-left")),
     cv::symbol(std::string("outer-margin-right")), cv::symbol(std::string("outer-margin-top")),
     cv::symbol(std::string("outer-margin-bottom"))},
}};
} // namespace Algorithm

const std::array<tColorTag, 7> DrawingCache::s_ColorTags = {{
    {cv::symbol(std::string("background-color")), eBackgroundColor},
    {cv::symbol(std::string("foreground-color")), eForegroundColor},
    {cv::symbol(std::string("selection-background-color")), eSelectionBackgroundColor},
    {cv::symbol(std::string("selection-foreground-color")), eSelectionForegroundColor},
    {cv::symbol(std::string("dye-color")), eDyeColor},
    {cv::symbol(std::string("background-border-color")), eBackgroundBorderColor},
    {cv::symbol(std::string("foreground-border-color")), eForegroundBorderColor},
}};

const std::array<tColorTag, 7> DrawingCache::s_ColorPaletteTags = {{
    {cv::symbol(std::string("background-color-palette")), eBackgroundColor},
    {cv::symbol(std::string("foreground-color-palette")), eForegroundColor},
    {cv::symbol(std::string("selection-background-color-palette")), eSelectionBackgroundColor},
    {cv::symbol(std::string("selection-foreground-color-palette")), eSelectionForegroundColor},
    {cv::symbol(std::string("dye-color-palette")), eDyeColor},
    {cv::symbol(std::string("background-border-color-palette")), eBackgroundBorderColor},
    {cv::symbol(std::string("foreground-border-color-palette")), eForegroundBorderColor},
}};

namespace properties {

const cv::symbol drawForeground(std::string("draw_foreground"));
const cv::symbol font(std::string("font"));
const cv::symbol height(std::string("height"));
const cv::symbol maxHeight(std::string("max-height"));
const cv::symbol maxWidth(std::string("max-width"));
const cv::symbol minHeight(std::string("min-height"));
const cv::symbol minWidth(std::string("min-width"));
const cv::symbol picture(std::string("picture"));
const cv::symbol pictureIncludesMargin(std::string("picture-includes-margin"));
const cv::symbol width(std::string("width"));
const cv::symbol x(std::string("x"));
const cv::symbol y(std::string("y"));
const cv::symbol zIndex(std::string("z-index"));
const cv::symbol animationIndex(std::string("animation-index"));
const cv::symbol dyeMaskAnimationIndex(std::string("dye-mask-animation-index"));
const cv::symbol dyeMaskPicture(std::string("dye-mask-picture"));
const cv::symbol horizontalAlignment(std::string("horizontal-alignment"));
const cv::symbol pictureDisplacement(std::string("picture-displacement"));
const cv::symbol pictureIncludeMargin(std::string("picture-includes-margin"));
const cv::symbol textDisplacement(std::string("text-displacement"));
const cv::symbol verticalAlignment(std::string("vertical-alignment"));
const cv::symbol lineSpacing(std::string("line-spacing"));
const cv::symbol spacing(std::string("spacing"));
const cv::symbol animationsForRange(std::string("animations_for_range"));
const cv::symbol betweenRows(std::string("between_rows"));
const cv::symbol cancelable(std::string("cancelable"));
const cv::symbol checkstate(std::string("checkstate"));
const cv::symbol color(std::string("color"));
const cv::symbol cursorWidth(std::string("cursor-width"));
const cv::symbol enabled(std::string("enabled"));
const cv::symbol hasFocus(std::string("HasFocus"));
const cv::symbol hasMinimumSize(std::string("HasMinimumSize"));
const cv::symbol hasTitle(std::string("has_title"));
const cv::symbol hasValue(std::string("has_value"));
const cv::symbol isActive(std::string("isActive"));
const cv::symbol isChecked(std::string("isChecked"));
const cv::symbol isHorizontal(std::string("isHorizontal"));
const cv::symbol isInput(std::string("isInput"));
const cv::symbol isSeparator(std::string("isSeparator"));
const cv::symbol isSubMenu(std::string("isSubMenu"));
const cv::symbol menuOffsetX(std::string("menu-offset-x"));
const cv::symbol menuOffsetY(std::string("menu-offset-y"));
const cv::symbol moveBorder(std::string("move-border"));
const cv::symbol moveBorderBottom(std::string("move-border-bottom"));
const cv::symbol moveBorderLeft(std::string("move-border-left"));
const cv::symbol moveBorderRight(std::string("move-border-right"));
const cv::symbol moveBorderTop(std::string("move-border-top"));
const cv::symbol row(std::string("row"));
const cv::symbol state(std::string("state"));
const cv::symbol submenuDelay(std::string("submenu-delay"));

namespace values {
const cv::symbol auto_(std::string("auto"));
const cv::symbol bottom(std::string("bottom"));
const cv::symbol center(std::string("center"));
const cv::symbol column(std::string("column"));
const cv::symbol left(std::string("left"));
const cv::symbol no(std::string("no"));
const cv::symbol right(std::string("right"));
const cv::symbol row(std::string("row"));
const cv::symbol top(std::string("top"));
} // namespace values
} // namespace properties

const cv::symbol emptyStdString;

std::vector<StyleSheetErrorsLogSource::Sink> StyleSheetErrorsLogSource::m_logSinks;

std::unique_ptr<ManagerContainer> Lib::s_managerContainer;
bool Lib::s_bSearchSkinDirectory = false;
bool Lib::s_bFontHinting = true;
bool Lib::s_useLegacyAlphaCompositing = false;

} // namespace CV::TOV
