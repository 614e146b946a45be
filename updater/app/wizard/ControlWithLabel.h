#pragma once
// A row of two text controls: the value (id "Value") and its caption (id
// "Label"), each with its own style name. The rows of one panel share their
// ids, so a style sheet tells the rows apart by the style names.
#include "TOV/Bar.h"

#include <memory>
#include <string>

namespace CV::GUI {

// Makes `control`, the value, and returns the row holding it and its caption;
// the row's height follows the taller of the two.
template <class T>
std::shared_ptr<TOV::Bar> createControlWithLabel(std::shared_ptr<T>& control, std::string const& valueStyle,
                                                 std::string const& captionStyle, std::string const& caption)
{
    auto row = std::make_shared<TOV::Bar>();
    row->styleBreadthMax();
    row->style(TOV::eAlignLeftToRight, nullptr);

    control = std::make_shared<T>();
    row->insertChildWidget(control, "Value");
    control->style("", valueStyle.c_str());

    auto captionControl = std::make_shared<T>();
    row->insertChildWidget(captionControl, "Label");
    captionControl->style(caption, captionStyle.c_str());
    return row;
}

} // namespace CV::GUI
