#pragma once
// GDK's input values in the platform's terms: button numbers, buttons held,
// wheel deltas with the platform's sign, the characters of a key and the
// flag a modifier key stands for. Pure functions; no display needed.
#include <gdk/gdk.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform::gtk {

// The platform's button number of a GDK button (1 left, 2 middle, 3 right,
// 8 and up further buttons from 3 on); nothing for 4 to 7, the core
// protocol's wheel buttons.
std::optional<int> platformButton(unsigned gdkButton);

// The buttons held in a GDK modifier state: bit n for platform button n.
unsigned platformButtonsHeld(unsigned gdkState);

struct WheelDeltas {
    double x = 0;
    double y = 0;
    bool precise = false;
};

// Touchpad (precise) deltas in points per unit of GDK's smooth deltas.
constexpr double kPointsPerSmoothUnit = 10.0;

// A GDK scroll event as wheel deltas: positive when the content moves right
// or down (a wheel turned up gives +1 line). Smooth deltas from a touchpad
// are precise points; smooth deltas of a wheel stay lines. Nothing for a
// scroll that moves nothing (the end of a smooth series).
std::optional<WheelDeltas> wheelDeltas(const GdkEventScroll& scroll, bool fromTouchpad);

// The platform's characters of a GDK key value (UTF-8): text keys give
// their character, the named keys the platform's control and function-key
// characters (Return 0x0D, Backspace 0x7F, Up arrow U+F700, F1 U+F704,
// forward Delete U+F728, ...); empty for keys without one.
std::string platformCharacters(unsigned keyval);

// The platform flags a key adds to a key event: NumericPad for keys of the
// numeric keypad and the arrows, Function for keys with a function-key
// character.
std::uint64_t keyKindFlags(unsigned keyval);

// Whether a key starts or belongs to a composed character (a dead accent,
// the Compose key): such keys go through the input method.
bool isComposingKey(unsigned keyval);

// The modifier flag a modifier key stands for (Control gives Command,
// Super Control, Alt and AltGr Option); 0 for other keys and Caps Lock
// (a lock, read from the keymap).
std::uint64_t modifierFlagOfKey(unsigned keyval);

} // namespace platform::gtk
