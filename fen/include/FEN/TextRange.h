#pragma once
// A range of a text-input client's text in UTF-16 units; location -1 is
// no range.
#include <cstdint>

namespace CV {
namespace FEN {

struct TextRange {
    int32_t location = -1;
    int64_t length = 0;
};

} // namespace FEN
} // namespace CV
