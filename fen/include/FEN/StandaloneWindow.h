#pragma once
// A top-level window that becomes the application's main window.
#include "FEN/MainWindow.h"

namespace CV {
namespace FEN {

class StandaloneWindow : public MainWindow {
public:
    StandaloneWindow() = default;
    // Off the application's window list, then the implementation deleted.
    ~StandaloneWindow() override;

    // Creates the native window with its content view (Created arrives
    // during the call), lists the window and makes it the main window.
    // false when no native window could be made (the window is still
    // listed and main, as a window without a native one).
    bool create(Window::CreateData const& data);
};

} // namespace FEN
} // namespace CV
