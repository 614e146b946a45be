#include "FEN/JPGICCProfile.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace CV {
namespace FEN {

namespace {

// Reading from libjpeg's source inside a marker processor; false when the
// data ends (the source suspends).
bool readBytes(j_decompress_ptr cinfo, uint8_t* target, size_t count)
{
    jpeg_source_mgr* src = cinfo->src;
    while (count > 0) {
        if (src->bytes_in_buffer == 0 && !src->fill_input_buffer(cinfo))
            return false;
        size_t const taken = std::min(count, src->bytes_in_buffer);
        std::memcpy(target, src->next_input_byte, taken);
        src->next_input_byte += taken;
        src->bytes_in_buffer -= taken;
        target += taken;
        count -= taken;
    }
    return true;
}

bool isProfileHeader(uint8_t const (&header)[JPGICCProfile::kHeaderSize])
{
    static char const kTag[12] = "ICC_PROFILE"; // with its zero byte
    return std::memcmp(header, kTag, sizeof kTag) == 0;
}

} // namespace

void JPGICCProfile::install(j_decompress_ptr cinfo)
{
    cinfo->client_data = this;
    jpeg_set_marker_processor(cinfo, kAPP2, &readMarker);
}

boolean JPGICCProfile::readMarker(j_decompress_ptr cinfo)
{
    uint8_t lengthBytes[2];
    if (!readBytes(cinfo, lengthBytes, 2))
        return FALSE;
    size_t const length = size_t(lengthBytes[0]) << 8 | lengthBytes[1];
    if (length < 2)
        return TRUE;
    JPGICCProfile* self = static_cast<JPGICCProfile*>(cinfo->client_data);
    return self->keep(cinfo, length - 2) ? TRUE : FALSE;
}

// One APP2 marker's data of `length` bytes: a profile part is kept while the
// parts stay within kMaxBytes and 255 (the most sequence numbers there are),
// anything else is skipped.
bool JPGICCProfile::keep(j_decompress_ptr cinfo, size_t length)
{
    uint8_t header[kHeaderSize];
    if (length < kHeaderSize) {
        (*cinfo->src->skip_input_data)(cinfo, long(length));
        return true;
    }
    if (!readBytes(cinfo, header, kHeaderSize))
        return false;
    size_t const dataLength = length - kHeaderSize;
    bool const profilePart = isProfileHeader(header);
    if (profilePart && m_bytes + dataLength > kMaxBytes)
        m_tooLarge = true;
    if (profilePart && m_parts.size() == kMaxParts)
        m_tooManyParts = true;
    if (!profilePart || m_tooLarge || m_tooManyParts) {
        (*cinfo->src->skip_input_data)(cinfo, long(dataLength));
        return true;
    }
    Part part{header[12], header[13], std::vector<uint8_t>(dataLength)};
    if (!readBytes(cinfo, part.data.data(), dataLength))
        return false;
    m_bytes += dataLength;
    m_parts.push_back(std::move(part));
    return true;
}

std::vector<uint8_t> JPGICCProfile::join() const
{
    if (m_tooLarge || m_tooManyParts)
        return {};
    std::map<unsigned, Part const*> bySequence;
    unsigned total = 0;
    for (Part const& part : m_parts) {
        if (bySequence.empty())
            total = part.count;
        if (part.count != total || part.sequence == 0 || part.sequence > total || bySequence.count(part.sequence))
            return {};
        bySequence[part.sequence] = &part;
    }
    if (bySequence.size() != total)
        return {};
    std::vector<uint8_t> profile;
    profile.reserve(m_bytes);
    for (auto const& entry : bySequence)
        profile.insert(profile.end(), entry.second->data.begin(), entry.second->data.end());
    return profile;
}

} // namespace FEN
} // namespace CV
