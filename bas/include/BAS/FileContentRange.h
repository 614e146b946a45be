#pragma once
// Where an item's bytes lie in a (possibly multi-part) container: the
// logical offset and length, and the parts that hold its first and last
// byte.
#include <cstdint>

namespace CV {
namespace BAS {

struct FileContentRange {
    uint32_t firstPartIndex = 0;
    int64_t offsetInFirstPart = 0;
    // The length when the whole item lies in the first part, else the bytes
    // up to that part's end.
    int64_t bytesInFirstPart = 0;
    uint32_t lastPartIndex = 0;
    int64_t offsetInLastPart = 0;
    int64_t offset = 0;
    int64_t length = 0;
};

} // namespace BAS
} // namespace CV
