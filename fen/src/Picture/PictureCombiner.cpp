#include "FEN/PictureCombiner.h"

#include <algorithm>

namespace CV {
namespace FEN {

bool PICTURE_DETAIL::repeatTile(Picture const& source, int64_t bx, int64_t by, int64_t tw, int64_t th, int64_t repeatX,
                                int64_t repeatY, Picture& wide)
{
    if (!wide.setSize(int(tw * repeatX), int(th * repeatY), true))
        return false;
    wide.setAlphaChannel(source.hasAlphaChannel());
    wide.setUseLegacyAlphaCompositing(source.getUseLegacyAlphaCompositing());
    for (int64_t row = 0; row < th; ++row) {
        uint32_t const* from = source.pixelRow(int(by + row)) + bx;
        uint32_t* to = wide.pixelRow(int(row));
        for (int64_t copy = 0; copy < repeatX; ++copy)
            std::copy(from, from + tw, to + copy * tw);
    }
    for (int64_t row = th; row < th * repeatY; ++row)
        std::copy(wide.pixelRow(int(row - th)), wide.pixelRow(int(row - th)) + wide.getWidth(),
                  wide.pixelRow(int(row)));
    return true;
}

template class PictureCombiner<PictureCombinerFunctors::CopySource>;
template class PictureCombiner<PictureCombinerFunctors::BlendUsingAlpha>;
template class PictureCombiner<PictureCombinerFunctors::DyeUsingAlphaMask>;

template void Picture::putPicture<PictureCombinerFunctors::CopySource>(int, int, Picture const&, unsigned,
                                                                       BAS::Rect const*);
template void Picture::putPicture<PictureCombinerFunctors::BlendUsingAlpha>(int, int, Picture const&, unsigned,
                                                                            BAS::Rect const*);
template void Picture::putStretched<PictureCombinerFunctors::CopySource>(BAS::Rect const&, Picture const&, unsigned,
                                                                         BAS::Rect const*);
template void Picture::putStretched<PictureCombinerFunctors::BlendUsingAlpha>(BAS::Rect const&, Picture const&,
                                                                              unsigned, BAS::Rect const*);

} // namespace FEN
} // namespace CV
