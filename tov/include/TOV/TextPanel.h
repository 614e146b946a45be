#pragma once
// A styled widget that shows one text on its panel: the common base of the
// button and the label. It keeps the text, repaints when the text changes,
// can size itself to its text and measures what a text needs.
#include <string>

#include "TOV/Canvas.h"
#include "TOV/PanelDrawer.h"
#include "TOV/WidgetTemplate.h"

namespace CV::TOV {

namespace DETAIL {

// The outer width and height that the text needs in the widget: its inner
// margins plus the text measured in the widget's font at its backing scale
// (sideways for a rotated text).
int widthForText(Widget const& widget, std::string const& text, eTextRotation rotation);
int heightForText(Widget const& widget, std::string const& text, eTextRotation rotation);
// Sizes the widget to the text, within its maximum size.
void resizeToText(Widget& widget, std::string const& text, eTextRotation rotation);

} // namespace DETAIL

template <typename T> class TextPanel : public WidgetTemplate<T> {
public:
    void setText(std::string const& text)
    {
        if (text != m_strText) {
            m_strText = text;
            this->setInvalid(0);
        }
        resizeToTextWhenAutoSized();
    }
    std::string const& getText() const { return m_strText; }

    int getWidthForText(std::string const& text) const { return DETAIL::widthForText(*this, text, m_eTextRotation); }
    int getHeightForText(std::string const& text) const { return DETAIL::heightForText(*this, text, m_eTextRotation); }

    // The panel follows its text from the next text or style change on.
    void setAutoSize(bool autoSize) { m_bAutoSize = autoSize; }
    bool isAutoSize() const { return m_bAutoSize; }
    void setTextRotation(eTextRotation rotation) { m_eTextRotation = rotation; }
    eTextRotation getTextRotation() const { return m_eTextRotation; }

    void onStyleSheetChanged() override
    {
        Widget::onStyleSheetChanged();
        resizeToTextWhenAutoSized();
    }

protected:
    void resizeToTextWhenAutoSized()
    {
        if (m_bAutoSize && this->getPane())
            DETAIL::resizeToText(*this, m_strText, m_eTextRotation);
    }

    std::string m_strText;
    bool m_bAutoSize = false;
    PanelDrawer m_drawer;
    eTextRotation m_eTextRotation = eTextHorizontal;
};

} // namespace CV::TOV
