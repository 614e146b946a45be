#pragma once
// Joins an ICC colour profile carried in numbered APP2 markers of a JPEG
// file ("ICC_PROFILE", zero byte, sequence number, total count, data).
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace CV {
namespace FEN {

class JPGICCProfile {
public:
    static constexpr int kAPP2 = JPEG_APP0 + 2;
    static constexpr unsigned kHeaderSize = 14;

    // The profile bytes in sequence order; empty when the file has no
    // profile or when its markers are incomplete or inconsistent (a total
    // that changes, a number 0, above the total or seen twice, a gap).
    static std::vector<uint8_t> join(jpeg_saved_marker_ptr markers);

private:
    static bool isProfileMarker(jpeg_saved_marker_ptr marker);
};

} // namespace FEN
} // namespace CV
