#pragma once
#include <cstdint>

#include "BAS/Point.h"
#include "BAS/Rect.h"

namespace CV {
namespace FEN {

class Picture;

// The area operations of PictureCombiner. Each combines the source area
// that starts at sourcePos (source drawing coordinates) onto the target
// area (left, top, right, bottom in target drawing coordinates); areas are
// cut to both pictures' pixels, and empty or reversed areas draw nothing.
// kEachPixelAlone: a target pixel's result depends only on itself and the
// source pixel over it, so areas may be combined in any grouping.
namespace PictureCombinerFunctors {

// Copies pixels verbatim, or composites them when the source has alpha.
struct CopySource {
    static constexpr bool kEachPixelAlone = true;
    void combineArea(Picture& target, BAS::Rect const& area, Picture const& source, BAS::Point sourcePos) const;
};

// Blends the source by its alpha times the target's alpha; the target's
// alpha stays.
struct BlendUsingAlpha {
    static constexpr bool kEachPixelAlone = true;
    void combineArea(Picture& target, BAS::Rect const& area, Picture const& source, BAS::Point sourcePos) const;
};

// Paints one colour through the alpha of a mask picture; the target's alpha
// stays.
struct DyeUsingAlphaMask {
    static constexpr bool kEachPixelAlone = true;
    explicit DyeUsingAlphaMask(uint32_t colour)
        : m_uColour(colour)
    {
    }
    void combineArea(Picture& target, BAS::Rect const& area, Picture const& mask, BAS::Point maskPos) const;

    uint32_t m_uColour;
};

} // namespace PictureCombinerFunctors
} // namespace FEN
} // namespace CV
