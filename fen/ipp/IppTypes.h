#pragma once
// Fixed-width types and status codes shared by the image kernels.
#include <cstdint>

using Ipp8u = uint8_t;
using Ipp32s = int32_t;
using Ipp32u = uint32_t;
using Ipp64u = uint64_t;
using IppStatus = int32_t;

struct IppiSize {
    int32_t width;
    int32_t height;
};

struct IppiPoint {
    int32_t x;
    int32_t y;
};

// Kernel statuses: 0 success, negative errors (nothing done), positive warnings.
enum IppStatusCode : IppStatus {
    kStsOk = 0,
    kStsNothingToDo = 1,
    kStsNotGenuineIntel = 20,
    kStsCpuNotSupported = 36,
    kStsCacheSizeUnknown = 37,
    kStsAntialiasIgnored = 46,
    kStsSizeLimited = 48,
    kStsFeatureNotAvailable = 49,
    kStsUnknownFeature = 50,
    kStsFeaturesMissing = 51,
    kStsSizeErr = -6,
    kStsNullPtrErr = -8,
    kStsOutOfRangeErr = -11,
    kStsContextMatchErr = -13,
    kStsModeErr = -14,
    kStsInterpolationErr = -23,
    kStsAlphaTypeErr = -50,
    kStsChannelErr = -53,
    kStsSizeOverflowErr = -232,
};

// Alpha compositing operators: codes 0 to 5 take straight pixels, 6 to 11
// premultiplied ones.
enum IppAlphaType : int32_t {
    kAlphaOver = 0,
    kAlphaIn = 1,
    kAlphaOut = 2,
    kAlphaAtop = 3,
    kAlphaXor = 4,
    kAlphaPlus = 5,
    kAlphaOverPremul = 6,
    kAlphaInPremul = 7,
    kAlphaOutPremul = 8,
    kAlphaAtopPremul = 9,
    kAlphaXorPremul = 10,
    kAlphaPlusPremul = 11,
};
