#pragma once
// The style bits of a window's creation data (WindowBase::CreateData::style),
// as the platform implementation reads them.
#include <cstdint>

namespace CV {
namespace FEN {

struct eWindowStyle {
    enum : uint32_t {
        // Without Resizable: the window can neither be resized nor go full
        // screen.
        NotResizable = 0x1,
        Resizable = 0x2,
        NoTitle = 0x8,
        // Plain windows only: titled windows get a close button.
        ClosableForPlain = 0x10,
        NoClose = 0x20,
        Borderless = 0x80,
        // Floating above normal windows.
        Raised = 0x100,
        Nonactivating = 0x200,
        // At the pop-up menus' level (raised windows and panels).
        PopUpLevel = 0x800,
        Transparent = 0x1000,
        ScreenSaverLevel = 0x2000,
    };
};

} // namespace FEN
} // namespace CV
