#include "platform/gtk/GtkPanel.h"

#include "platform/gtk/GtkBackend.h"
#include "platform/runloop/MainLoop.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cctype>

namespace platform::gtk {

namespace {

GtkFileChooserAction actionFor(const peer::PanelOptions& options)
{
    if (options.save)
        return GTK_FILE_CHOOSER_ACTION_SAVE;
    if (options.canChooseDirectories && !options.canChooseFiles)
        return GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
    return GTK_FILE_CHOOSER_ACTION_OPEN;
}

std::string defaultTitle(GtkFileChooserAction action)
{
    switch (action) {
    case GTK_FILE_CHOOSER_ACTION_SAVE: return "Save";
    case GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER: return "Choose a Folder";
    default: return "Open";
    }
}

std::string defaultPrompt(GtkFileChooserAction action)
{
    switch (action) {
    case GTK_FILE_CHOOSER_ACTION_SAVE: return "_Save";
    case GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER: return "_Choose";
    default: return "_Open";
    }
}

// A glob matching the extension in any letter case ("*.[pP][nN][gG]").
std::string patternFor(const std::string& extension)
{
    std::string pattern = "*.";
    for (unsigned char c : extension) {
        if (std::isalpha(c)) {
            pattern += '[';
            pattern += char(std::tolower(c));
            pattern += char(std::toupper(c));
            pattern += ']';
        } else if (c == '*' || c == '?' || c == '[' || c == ']') {
            pattern += '[';
            pattern += char(c);
            pattern += ']';
        } else {
            pattern += char(c);
        }
    }
    return pattern;
}

void addFilters(GtkFileChooser* chooser, const peer::PanelOptions& options)
{
    if (options.allowedTypes.empty())
        return;
    GtkFileFilter* allowed = gtk_file_filter_new();
    std::string name;
    for (const std::string& extension : options.allowedTypes) {
        gtk_file_filter_add_pattern(allowed, patternFor(extension).c_str());
        name += (name.empty() ? "*." : ", *.") + extension;
    }
    gtk_file_filter_set_name(allowed, name.c_str());
    gtk_file_chooser_add_filter(chooser, allowed);
    if (options.allowsOtherTypes) {
        GtkFileFilter* all = gtk_file_filter_new();
        gtk_file_filter_add_pattern(all, "*");
        gtk_file_filter_set_name(all, "All Files");
        gtk_file_chooser_add_filter(chooser, all);
    }
    gtk_file_chooser_set_filter(chooser, allowed);
}

void configure(GtkFileChooser* chooser, GtkFileChooserAction action, const peer::PanelOptions& options)
{
    if (!options.directory.empty() && g_file_test(options.directory.c_str(), G_FILE_TEST_IS_DIR))
        gtk_file_chooser_set_current_folder(chooser, options.directory.c_str());
    if (action == GTK_FILE_CHOOSER_ACTION_SAVE) {
        gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
        if (!options.nameField.empty())
            gtk_file_chooser_set_current_name(chooser, options.nameField.c_str());
    }
    if (action != GTK_FILE_CHOOSER_ACTION_OPEN)
        gtk_file_chooser_set_create_folders(chooser, options.canCreateDirectories);
    if (action == GTK_FILE_CHOOSER_ACTION_OPEN)
        gtk_file_chooser_set_select_multiple(chooser, options.allowsMultipleSelection);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    if (action != GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER)
        addFilters(chooser, options);
    if (!options.message.empty()) {
        GtkWidget* message = gtk_label_new(options.message.c_str());
        gtk_label_set_line_wrap(GTK_LABEL(message), TRUE);
        gtk_file_chooser_set_extra_widget(chooser, message);
    }
}

std::vector<std::string> chosenPaths(GtkFileChooser* chooser)
{
    std::vector<std::string> paths;
    GSList* names = gtk_file_chooser_get_filenames(chooser);
    for (GSList* name = names; name; name = name->next) {
        paths.emplace_back(static_cast<const char*>(name->data));
        g_free(name->data);
    }
    g_slist_free(names);
    return paths;
}

} // namespace

peer::PanelResult GtkPanel::runModal(const peer::PanelOptions& options)
{
    const GtkFileChooserAction action = actionFor(options);
    const std::string title = options.title.empty() ? defaultTitle(action) : options.title;
    const std::string prompt = options.prompt.empty() ? defaultPrompt(action) : options.prompt;
    GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), nullptr, action, "_Cancel", GTK_RESPONSE_CANCEL,
                                                    prompt.c_str(), GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    GtkBackend::followFocusOf(dialog);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    configure(chooser, action, options);
    int response;
    {
        MainLoop::ModeScope modal(RunLoopMode::ModalPanel);
        response = gtk_dialog_run(GTK_DIALOG(dialog));
    }
    peer::PanelResult result;
    if (response == GTK_RESPONSE_ACCEPT) {
        result.paths = chosenPaths(chooser);
        result.accepted = !result.paths.empty();
    }
    gtk_widget_destroy(dialog);
    return result;
}

} // namespace platform::gtk
