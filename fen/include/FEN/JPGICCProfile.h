#pragma once
// Collects an ICC colour profile carried in numbered APP2 markers of a JPEG
// file ("ICC_PROFILE", zero byte, sequence number, total count, data) while
// libjpeg reads the file's header, and joins its parts.
//
// Only the profile's markers are kept, and only up to kMaxBytes of them: a
// file of many or large markers costs no more memory than that (libjpeg's
// own saving of markers keeps every one, however many there are).
#include <cstddef>
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
    // Far more than any real profile needs (255 full markers could carry
    // about 16 MiB).
    static constexpr size_t kMaxBytes = size_t(8) << 20;
    static constexpr size_t kMaxParts = 255;

    // Makes libjpeg hand the APP2 markers of `cinfo` to this collector, which
    // must outlive the reading of the header. Uses cinfo->client_data.
    void install(j_decompress_ptr cinfo);

    // Whether the profile's markers held more than kMaxBytes.
    bool isTooLarge() const { return m_tooLarge; }
    // The profile bytes in sequence order; empty when the file has no
    // profile, when it is too large, or when its markers are incomplete or
    // inconsistent (a total that changes, a number 0, above the total or
    // seen twice, a gap, more than 255 parts).
    std::vector<uint8_t> join() const;

private:
    struct Part {
        unsigned sequence;
        unsigned count;
        std::vector<uint8_t> data; // after the marker's header
    };

    static boolean readMarker(j_decompress_ptr cinfo);
    bool keep(j_decompress_ptr cinfo, size_t length);

    std::vector<Part> m_parts;
    size_t m_bytes = 0;
    bool m_tooLarge = false;
    bool m_tooManyParts = false;
};

} // namespace FEN
} // namespace CV
