#pragma once
// The main window: its close request asks the application whether it may
// quit, its closing quits the application, and drag-and-drop events go to
// the application with this window first in line.
#include "FEN/Window.h"

namespace CV {
namespace FEN {

class MainWindow : public Window {
public:
    // Clears the application's main window when it is this one.
    ~MainWindow() override;
    bool onEvent(unsigned code, EventData* data) override;
};

} // namespace FEN
} // namespace CV
