#pragma once
// An area of one picture matched to an area of another, in buffer positions.
#include <algorithm>
#include <cstdint>

#include "FEN/Picture.h"

namespace CV {
namespace FEN {

struct PictureArea {
    int64_t targetX, targetY, sourceX, sourceY, width, height;

    // Maps w x h pixels at (x, y) of the target and (sx, sy) of the source
    // (drawing coordinates) to buffer positions, cut to both pictures' pixels.
    // False when nothing is left.
    static bool map(Picture const& target, int64_t x, int64_t y, int64_t w, int64_t h, Picture const& source,
                    int64_t sx, int64_t sy, PictureArea& out)
    {
        if (w <= 0 || h <= 0 || !target.getPixels() || !source.getPixels())
            return false;
        out.targetX = x + target.getOrigin().x;
        out.targetY = y + target.getOrigin().y;
        out.sourceX = sx + source.getOrigin().x;
        out.sourceY = sy + source.getOrigin().y;
        out.width = w;
        out.height = h;
        return cutAxis(out.targetX, out.sourceX, out.width, target.getWidth(), source.getWidth()) &&
            cutAxis(out.targetY, out.sourceY, out.height, target.getHeight(), source.getHeight());
    }

private:
    static bool cutAxis(int64_t& t, int64_t& s, int64_t& len, int64_t targetSize, int64_t sourceSize)
    {
        int64_t const skip = std::max<int64_t>({0, -t, -s});
        t += skip;
        s += skip;
        len = std::min({len - skip, targetSize - t, sourceSize - s});
        return len > 0;
    }
};

} // namespace FEN
} // namespace CV
