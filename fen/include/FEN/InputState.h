#pragma once
// Process-wide input state: the modal-key-input flag (stored here, read and
// set by the widget toolkit) and the modifier keys held at this moment.
// Main thread only.
#include <cstdint>

namespace CV {
namespace FEN {

class InputState {
public:
    static bool getModalKeyInput() { return g_bModalKeyInput; }
    static void setModalKeyInput(bool b) { g_bModalKeyInput = b; }
    // The application-wide modifier keys now (not those of an event) as
    // eKeyModifier bits.
    static uint32_t getSyncModifierKeys();

    static bool g_bModalKeyInput;
};

} // namespace FEN
} // namespace CV
