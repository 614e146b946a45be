#pragma once
// The displays of the system and their changes.
#include "BAS/Rect.h"

namespace CV {
namespace FEN {

class DisplayManager {
public:
    // Starts watching the display configuration; whether displays are known.
    static bool init();
    static void deInit();
    // The bounding rectangle of all displays, framework screen coordinates
    // (empty without displays).
    static BAS::Rect getDisplayBounds();

    static bool s_bInited;

    DisplayManager() = delete;
};

} // namespace FEN
} // namespace CV
