#include "TOV/Label.h"

namespace CV::TOV {

Label::Label() = default;

cv::symbol Label::getClass() const
{
    static cv::symbol const s_class(std::string("Label"));
    return s_class;
}

Label& Label::style(std::string const& text, const char* styleName)
{
    m_fnPainter = [](Label const& label, PaintContext& context) {
        label.m_drawer.drawPanelItem(label, context);
        label.m_drawer.drawTextItem(label, label.m_strText, context, label.m_eTextRotation);
    };
    setInvalid(0);
    setText(text);
    styleDefault(styleName);
    return *this;
}

} // namespace CV::TOV
