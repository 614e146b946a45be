#include "fen/ipp/IppiBlendCoverage.h"

#include "fen/ipp/IppCore.h"

namespace {

const IppiBlendCoverageRow kBlendCoverageRows[kIppBuildCount] = {
    &n8_ippi_BlendCoverage_C4S_8u, &y8_ippi_BlendCoverage_C4S_8u, &e9_ippi_BlendCoverage_C4S_8u,
    &l9_ippi_BlendCoverage_C4S_8u, &k0_ippi_BlendCoverage_C4S_8u,
};

} // namespace

IppiBlendCoverageRow ippiBlendCoverageRowKernel()
{
    int32_t index = ippGetJumpIndex();
    if (index < 0) {
        ippSafeInit();
        index = ippGetJumpIndex();
    }
    return kBlendCoverageRows[index < 0 ? 0 : index];
}
