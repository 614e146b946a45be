#include "cv/VersionNumber.h"

namespace cv::commons {

bool isNull(const VersionNumber& version) noexcept
{
    const uint32_t sum = uint32_t(version.majorPart) + uint32_t(version.minorPart) + uint32_t(version.patchPart) +
        uint32_t(version.fourthPart);
    return sum == 0;
}

} // namespace cv::commons
