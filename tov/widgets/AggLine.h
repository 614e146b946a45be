#pragma once
// Anti-aliased wide lines through Anti-Grain Geometry.
#include <utility>

#include "BAS/Point.h"

namespace CV::FEN {
class Picture;
}

namespace CV::TOV::DETAIL {

// Strokes the line between the two points (drawing coordinates, offset by
// the picture's origin) with the width, butt caps and round joins,
// composited source-over, inside the picture's clip rectangle.
void drawAggLine(FEN::Picture& picture, std::pair<BAS::Point, BAS::Point> const& line, unsigned colour, float width);

} // namespace CV::TOV::DETAIL
