#pragma once
// A four-character code held as one unsigned 32-bit value, the first
// character in the high byte ('ABCD' == 0x41424344).
#include <cstdint>

namespace CV {
namespace BAS {

using FileTypeMacMagic = uint32_t;

// '????': no code.
constexpr FileTypeMacMagic kNoFileTypeMacMagic = 0x3F3F3F3Fu;

constexpr FileTypeMacMagic makeFileTypeMacMagic(char a, char b, char c, char d)
{
    return (static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
        (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
        (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
        static_cast<uint32_t>(static_cast<unsigned char>(d));
}

} // namespace BAS
} // namespace CV
