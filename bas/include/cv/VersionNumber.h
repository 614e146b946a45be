#pragma once
// A four-part version value (major, minor, patch, fourth part).
#include <cstdint>
#include <tuple>

namespace cv::commons {

struct VersionNumber {
    int32_t majorPart = 0;
    int32_t minorPart = 0;
    int32_t patchPart = 0;
    int32_t fourthPart = 0;

    constexpr VersionNumber() noexcept = default;
    constexpr VersionNumber(int32_t majorValue, int32_t minorValue, int32_t patchValue = 0,
                            int32_t fourthValue = 0) noexcept
        : majorPart(majorValue)
        , minorPart(minorValue)
        , patchPart(patchValue)
        , fourthPart(fourthValue)
    {
    }

    friend bool operator==(const VersionNumber& a, const VersionNumber& b) noexcept
    {
        return std::tie(a.majorPart, a.minorPart, a.patchPart, a.fourthPart) ==
            std::tie(b.majorPart, b.minorPart, b.patchPart, b.fourthPart);
    }
    friend bool operator!=(const VersionNumber& a, const VersionNumber& b) noexcept { return !(a == b); }
    friend bool operator<(const VersionNumber& a, const VersionNumber& b) noexcept
    {
        return std::tie(a.majorPart, a.minorPart, a.patchPart, a.fourthPart) <
            std::tie(b.majorPart, b.minorPart, b.patchPart, b.fourthPart);
    }
};

// True when the four parts add up to 0 (32-bit wrap-around): all parts 0 for
// a real version, whose parts are never negative.
bool isNull(const VersionNumber& version) noexcept;

} // namespace cv::commons
