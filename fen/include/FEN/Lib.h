#pragma once
// Start-up and shut-down of the framework library.
#include <cstdint>

namespace CV {
namespace FEN {

class Lib {
public:
    static constexpr int32_t kVersion = 0x4010000;
    static constexpr int32_t kFlavour = 69;

    // Checks the versions (a mismatch ends the process with a report), then
    // fills the key tables, enables menus, registers the standard cursors
    // and starts the asynchronous-event dispatcher. A failing or throwing
    // step undoes them all: false.
    static bool init(int version, int flavour);
    // Undoes init, step by step in reverse; safe when nothing runs.
    static void deInit();

    // Whether a view paints its whole dirty area with one Paint, leaving the
    // clipping to the platform, instead of one clipped Paint per rectangle
    // being drawn. On; nothing changes it.
    static bool s_bCocoaDrawRectUnion;

    Lib() = delete;
};

} // namespace FEN
} // namespace CV
