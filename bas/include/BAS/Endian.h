#pragma once
// Byte orders of stored values.
#include <cstdint>

namespace CV {
namespace BAS {

struct Endian {
    enum eByteOrder : int32_t {
        eLittleEndian = 1,
        eBigEndian = 2,
    };
};

} // namespace BAS
} // namespace CV
