#include "FEN/JPGICCProfile.h"

#include <cstring>
#include <map>

namespace CV {
namespace FEN {

bool JPGICCProfile::isProfileMarker(jpeg_saved_marker_ptr marker)
{
    static char const kTag[12] = "ICC_PROFILE"; // with its zero byte
    return marker->marker == kAPP2 && marker->data_length >= kHeaderSize &&
        std::memcmp(marker->data, kTag, sizeof kTag) == 0;
}

std::vector<uint8_t> JPGICCProfile::join(jpeg_saved_marker_ptr markers)
{
    std::map<unsigned, jpeg_saved_marker_ptr> bySequence;
    unsigned total = 0;
    for (jpeg_saved_marker_ptr marker = markers; marker; marker = marker->next) {
        if (!isProfileMarker(marker))
            continue;
        unsigned const sequence = marker->data[12];
        unsigned const count = marker->data[13];
        if (bySequence.empty())
            total = count;
        if (count != total || sequence == 0 || sequence > total || bySequence.count(sequence))
            return {};
        bySequence[sequence] = marker;
    }
    if (bySequence.size() != total)
        return {};
    std::vector<uint8_t> profile;
    for (auto const& entry : bySequence) {
        jpeg_saved_marker_ptr marker = entry.second;
        profile.insert(profile.end(), marker->data + kHeaderSize, marker->data + marker->data_length);
    }
    return profile;
}

} // namespace FEN
} // namespace CV
