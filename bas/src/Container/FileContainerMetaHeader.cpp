#include "BAS/FileContainer.h"

#include <boost/locale/encoding_utf.hpp>

#include <algorithm>
#include <cstring>

namespace CV {
namespace BAS {
namespace FileContainer {

const std::string INVALID_ENTRY = "/\\/\\";

const std::array<uint8_t, META_MAGIC_SIZE> META_MAGIC = {0x2F, 0x5C, 0x20, 0x43, 0x56, 0x20, 0x46, 0x43,
                                                         0x20, 0x4D, 0x54, 0x44, 0x20, 0x20, 0x2F, 0x5C};
const std::array<uint8_t, META_MAGIC_SIZE> TOC_MAGIC = {0x2F, 0x5C, 0x20, 0x43, 0x56, 0x20, 0x46, 0x43,
                                                        0x20, 0x54, 0x4F, 0x43, 0x20, 0x20, 0x2F, 0x5C};

bool tMetaHeader::hasMagic() const
{
    return std::equal(META_MAGIC.begin(), META_MAGIC.end(), bytes.begin());
}

uint32_t tMetaHeader::getU32(std::size_t offset) const
{
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
        uint32_t(bytes[offset + 3]) << 24;
}

void tMetaHeader::setU32(std::size_t offset, uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = uint8_t(value >> (8 * i));
}

std::string tMetaHeader::getText() const
{
    std::u16string units;
    for (std::size_t i = 0; i < TEXT_ROOM_UNITS; ++i) {
        const std::size_t at = TEXT_OFFSET + 2 * i;
        const char16_t unit = char16_t(bytes[at] | bytes[at + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return boost::locale::conv::utf_to_utf<char>(units);
}

void tMetaHeader::setText(const std::string& text)
{
    std::u16string units = boost::locale::conv::utf_to_utf<char16_t>(text);
    if (units.size() > TEXT_MAX_UNITS) {
        // Never keep half of a surrogate pair.
        const bool splitsPair = units[TEXT_MAX_UNITS - 1] >= 0xD800 && units[TEXT_MAX_UNITS - 1] <= 0xDBFF;
        units.resize(splitsPair ? TEXT_MAX_UNITS - 1 : TEXT_MAX_UNITS);
    }
    std::fill_n(bytes.begin() + TEXT_OFFSET, 2 * TEXT_ROOM_UNITS, uint8_t(0));
    for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[TEXT_OFFSET + 2 * i] = uint8_t(units[i]);
        bytes[TEXT_OFFSET + 2 * i + 1] = uint8_t(units[i] >> 8);
    }
}

tMetaHeader tMetaHeader::makePartsRecord(uint32_t value, uint32_t partCount)
{
    tMetaHeader header;
    std::copy(META_MAGIC.begin(), META_MAGIC.end(), header.bytes.begin());
    header.setU32(TYPE_OFFSET, eParts);
    header.setU32(VALUE_OFFSET, value);
    header.setU32(PART_COUNT_OFFSET, std::max<uint32_t>(partCount, 1));
    return header;
}

} // namespace FileContainer
} // namespace BAS
} // namespace CV
