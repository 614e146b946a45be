// The layout properties, made after the rest of the style vocabulary.
#include "TOV/StyleProperties.h"

#include <string>

namespace CV::TOV::properties {

const cv::symbol layout(std::string("layout"));
const cv::symbol direction(std::string("direction"));
const cv::symbol verticalContentAlignment(std::string("vertical-content-alignment"));
const cv::symbol horizontalContentAlignment(std::string("horizontal-content-alignment"));

} // namespace CV::TOV::properties
