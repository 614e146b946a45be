#include "TOV/WidgetAlignment.h"

namespace CV::TOV {

eTextAlignment getHorizontalAlignment(std::string const& keyword)
{
    if (keyword == "right")
        return eTextRight;
    if (keyword == "center")
        return eTextCenter;
    return eTextLeft;
}

eTextAlignment getVerticalAlignment(std::string const& keyword)
{
    if (keyword == "bottom")
        return eTextBottom;
    if (keyword == "center")
        return eTextCenter;
    // A vertical value: a horizontal bit here would override the text's
    // horizontal alignment where both are combined.
    return eTextTop;
}

} // namespace CV::TOV
