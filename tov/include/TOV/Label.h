#pragma once
// The plain caption: a text panel whose style operation installs its
// painter, text and style name in one call.
#include <string>

#include "TOV/TextPanel.h"

namespace CV::TOV {

class Label : public TextPanel<Label> {
public:
    Label();

    cv::symbol getClass() const override;
    // Paints the panel and the text; the text is set before the style name
    // (a null name keeps the current one).
    virtual Label& style(std::string const& text, const char* styleName);
};

} // namespace CV::TOV
