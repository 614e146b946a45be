#include "TOV/AttributesMap.h"

namespace CV::TOV {

bool AttributesMap::setAttribute(cv::symbol name, std::string const& value)
{
    auto [it, inserted] = emplace(name, value);
    if (inserted)
        return true;
    if (it->second == value)
        return false;
    it->second = value;
    return true;
}

} // namespace CV::TOV
