#pragma once
// The platform side of the application object.
#include "FEN/Forward.h"

#include <objc/runtime.h>

namespace CV {
namespace FEN {
namespace DETAIL {

class ImplApplication {
public:
    explicit ImplApplication(Application& application)
        : m_application(application)
    {
    }

    // 'quit' schedules the platform application's termination; other
    // commands do nothing.
    void postCommandExecuteEvent(int command);
    // [NSApp terminate:nil] on the main run loop after the current event.
    void scheduleTerminate();
    // Installs menu as the platform application's main menu.
    void setMainMenu(id menu);

private:
    Application& m_application;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
