#pragma once
// The saved placement of a window.
#include "BAS/Point.h"

#include <cstdint>

namespace CV {
namespace FEN {

struct WindowState {
    int32_t showState = 0; // 0 hidden, 1 shown, 2 minimised
    BAS::Point position{0, 0}; // top-left of the frame, framework screen coordinates
    BAS::Point size{0, 0}; // content width and height
    int32_t kind = 3; // 5 panel, 4 window at floating level, 3 other window
};

} // namespace FEN
} // namespace CV
