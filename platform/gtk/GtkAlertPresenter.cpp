#include "platform/gtk/GtkAlertPresenter.h"

#include "platform/gtk/GtkBackend.h"
#include "platform/runloop/MainLoop.h"

#include <gtk/gtk.h>

namespace platform::gtk {

namespace {

GtkMessageType messageType(Alert::Style style)
{
    switch (style) {
    case Alert::Style::Critical: return GTK_MESSAGE_ERROR;
    case Alert::Style::Warning: return GTK_MESSAGE_WARNING;
    default: return GTK_MESSAGE_INFO;
    }
}

// The window with the focus (the platform's key window), if any.
GtkWindow* keyWindow()
{
    GList* toplevels = gtk_window_list_toplevels();
    GtkWindow* key = nullptr;
    for (GList* item = toplevels; item && !key; item = item->next)
        if (gtk_window_is_active(GTK_WINDOW(item->data)) && gtk_widget_get_visible(GTK_WIDGET(item->data)))
            key = GTK_WINDOW(item->data);
    g_list_free(toplevels);
    return key;
}

} // namespace

int GtkAlertPresenter::present(const Alert& alert)
{
    GtkWidget* dialog = gtk_message_dialog_new(keyWindow(), GTK_DIALOG_MODAL, messageType(alert.style()),
                                               GTK_BUTTONS_NONE, "%s", alert.messageText().c_str());
    if (!alert.informativeText().empty())
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", alert.informativeText().c_str());
    // Button tags are small non-negative numbers, which GTK leaves to the
    // application as response ids.
    for (const Alert::Button& button : alert.buttons())
        gtk_dialog_add_button(GTK_DIALOG(dialog), button.label.c_str(), button.tag);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), alert.defaultTag());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    GtkBackend::followFocusOf(dialog);
    int response;
    {
        // The dialog's own nested loop serves the modal-panel mode.
        MainLoop::ModeScope modal(RunLoopMode::ModalPanel);
        response = gtk_dialog_run(GTK_DIALOG(dialog));
    }
    gtk_widget_destroy(dialog);
    for (const Alert::Button& button : alert.buttons())
        if (button.tag == response)
            return response;
    return alert.dismissTag();
}

} // namespace platform::gtk
