#pragma once
// Alerts on the desktop: a modal GTK message dialog, in front of the window
// with the focus when there is one.
#include "platform/alert/AlertPresenter.h"

namespace platform::gtk {

class GtkAlertPresenter : public AlertPresenter {
public:
    int present(const Alert& alert) override;
};

} // namespace platform::gtk
