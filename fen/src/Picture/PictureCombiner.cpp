#include "FEN/PictureCombiner.h"

namespace CV {
namespace FEN {

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
