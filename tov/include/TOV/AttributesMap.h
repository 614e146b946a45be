#pragma once
#include <map>
#include <string>

#include "cv/symbol.h"

namespace CV::TOV {

// Free-form attributes of a widget, matched by attribute selectors.
class AttributesMap : public std::map<cv::symbol, std::string> {
public:
    // Stores the value; false when the name already held the same bytes.
    bool setAttribute(cv::symbol name, std::string const& value);
};

} // namespace CV::TOV
