// Open and save panels on a private X server, driven by xdotool as a user
// at the keyboard.
#include "ChildProgram.h"
#include "DesktopBackendSession.h"

#include "platform/gtk/GtkPanel.h"
#include "platform/runloop/MainLoop.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using desktop_test::ChildProgram;

// Answers Cancel for a panel nobody answered in time, so that a test that
// fails cannot hang.
class PanelDeadline {
public:
    PanelDeadline()
        : m_source(
              g_timeout_add_seconds(guint(desktop_test::kWaitLimit.count()), &PanelDeadline::cancelDialogs, nullptr))
    {
    }
    ~PanelDeadline() { g_source_remove(m_source); }

private:
    static gboolean cancelDialogs(gpointer)
    {
        GList* windows = gtk_window_list_toplevels();
        for (GList* window = windows; window; window = window->next)
            if (GTK_IS_DIALOG(window->data))
                gtk_dialog_response(GTK_DIALOG(window->data), GTK_RESPONSE_CANCEL);
        g_list_free(windows);
        return G_SOURCE_CONTINUE;
    }

    guint m_source;
};

class GtkPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = desktop_test::whyDesktopTestCannotRun({"xdotool"});
        if (!missing.empty())
            VARANTO_DESKTOP_UNAVAILABLE() << missing;
    }

    // A user who waits for the panel titled title, gives it the focus,
    // presses the keys given (xdotool's commands) and, when told, Return
    // (after xdotool's "type", which takes every word after it).
    static std::unique_ptr<ChildProgram> user(const std::string& title, const std::vector<std::string>& keys,
                                              bool thenReturn = false)
    {
        std::vector<std::string> command = {
            "timeout",
            "20",
            "sh",
            "-c",
            "title=$1; enter=$2; shift 2; "
            "xdotool search --sync --onlyvisible --name \"$title\" windowfocus %1 sleep 1 \"$@\" && "
            "{ [ \"$enter\" = no ] || xdotool sleep 0.5 key Return; }",
            "sh",
            "^" + title + "$",
            thenReturn ? "yes" : "no"};
        command.insert(command.end(), keys.begin(), keys.end());
        return std::make_unique<ChildProgram>(command);
    }

    static platform::peer::PanelResult run(const platform::peer::PanelOptions& options)
    {
        PanelDeadline deadline;
        return platform::gtk::GtkPanel().runModal(options);
    }

    CV::test::TemporaryFolder m_folder{"varanto-panel"};
};

TEST_F(GtkPanelTest, OpenPanelAnswersThePathTheUserTyped)
{
    const std::string chosen = m_folder.at("Firmware notes.txt");
    std::ofstream(chosen) << "notes\n";
    std::ofstream(m_folder.at("other.txt")) << "other\n";
    platform::peer::PanelOptions options;
    options.title = "Open a test file";
    options.directory = m_folder.string();
    options.allowedTypes = {"txt"};
    auto typist = user(options.title, {"key", "ctrl+l", "sleep", "0.5", "type", "--delay", "20", chosen}, true);

    const platform::peer::PanelResult result = run(options);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.paths, std::vector<std::string>{chosen});
    EXPECT_EQ(typist->finish(), 0);
}

TEST_F(GtkPanelTest, SavePanelStartsInTheFolderWithTheProposedNameAndAnswersTheTypedOne)
{
    platform::peer::PanelOptions options;
    options.save = true;
    options.title = "Save a test file";
    options.directory = m_folder.string();
    options.nameField = "proposed.txt";

    auto acceptor = user(options.title, {"key", "Return"});
    EXPECT_EQ(run(options).paths, std::vector<std::string>{m_folder.at("proposed.txt")});
    EXPECT_EQ(acceptor->finish(), 0);

    auto typist = user(options.title, {"key", "ctrl+a", "type", "--delay", "20", "typed name.bin"}, true);
    const platform::peer::PanelResult typed = run(options);
    EXPECT_TRUE(typed.accepted);
    EXPECT_EQ(typed.paths, std::vector<std::string>{m_folder.at("typed name.bin")});
    EXPECT_EQ(typist->finish(), 0);
}

TEST_F(GtkPanelTest, CancelledPanelAnswersFailureWithoutPaths)
{
    std::ofstream(m_folder.at("kept.txt")) << "kept\n";
    platform::peer::PanelOptions options;
    options.title = "Cancel a test panel";
    options.directory = m_folder.string();
    auto canceller = user(options.title, {"key", "Escape"});

    const platform::peer::PanelResult result = run(options);
    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(result.paths.empty());
    EXPECT_EQ(canceller->finish(), 0);
}

TEST_F(GtkPanelTest, PanelRunsInTheModalPanelModeWithItsTimers)
{
    platform::MainLoop& loop = platform::MainLoop::instance();
    platform::RunLoopMode seen = platform::RunLoopMode::Default;
    bool fired = false;
    const auto timer = loop.addTimer(
        std::chrono::milliseconds(10), false,
        [&] {
            fired = true;
            seen = loop.currentMode();
            GList* windows = gtk_window_list_toplevels();
            for (GList* window = windows; window; window = window->next)
                if (GTK_IS_FILE_CHOOSER_DIALOG(window->data))
                    gtk_dialog_response(GTK_DIALOG(window->data), GTK_RESPONSE_CANCEL);
            g_list_free(windows);
        },
        platform::RunLoopMode::ModalPanel);

    EXPECT_FALSE(run(platform::peer::PanelOptions{}).accepted);
    EXPECT_TRUE(fired);
    EXPECT_EQ(seen, platform::RunLoopMode::ModalPanel);
    loop.cancelTimer(timer);
}

// The filters of the file chooser shown, looked at from a timer of the
// panel's nested loop, and the panel cancelled.
struct ShownFilters {
    std::vector<std::string> names;
    std::vector<std::string> matchedByCurrent;
    bool selectsFolders = false;

    static ShownFilters of(const platform::peer::PanelOptions& options, const std::vector<std::string>& candidates)
    {
        ShownFilters shown;
        platform::MainLoop& loop = platform::MainLoop::instance();
        const auto timer = loop.addTimer(
            std::chrono::milliseconds(10), false,
            [&] {
                GList* windows = gtk_window_list_toplevels();
                for (GList* window = windows; window; window = window->next)
                    if (GTK_IS_FILE_CHOOSER_DIALOG(window->data)) {
                        shown.read(GTK_FILE_CHOOSER(window->data), candidates);
                        gtk_dialog_response(GTK_DIALOG(window->data), GTK_RESPONSE_CANCEL);
                    }
                g_list_free(windows);
            },
            platform::RunLoopMode::ModalPanel);
        PanelDeadline deadline;
        platform::gtk::GtkPanel().runModal(options);
        loop.cancelTimer(timer);
        return shown;
    }

    void read(GtkFileChooser* chooser, const std::vector<std::string>& candidates)
    {
        selectsFolders = gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
        GSList* filters = gtk_file_chooser_list_filters(chooser);
        for (GSList* filter = filters; filter; filter = filter->next)
            names.emplace_back(gtk_file_filter_get_name(GTK_FILE_FILTER(filter->data)));
        g_slist_free(filters);
        GtkFileFilter* current = gtk_file_chooser_get_filter(chooser);
        for (const std::string& name : candidates) {
            GtkFileFilterInfo info{};
            info.contains = GtkFileFilterFlags(GTK_FILE_FILTER_DISPLAY_NAME | GTK_FILE_FILTER_FILENAME);
            info.display_name = name.c_str();
            info.filename = name.c_str();
            if (current && gtk_file_filter_filter(current, &info))
                matchedByCurrent.push_back(name);
        }
    }
};

TEST_F(GtkPanelTest, AllowedTypesFilterInAnyLetterCaseAndOtherTypesAddAFilterForAllFiles)
{
    const std::vector<std::string> candidates = {"a.png", "B.PNG", "c.Jpg", "d.bin", "png"};
    platform::peer::PanelOptions options;
    options.allowedTypes = {"png", "jpg"};

    ShownFilters only = ShownFilters::of(options, candidates);
    EXPECT_EQ(only.names, std::vector<std::string>{"*.png, *.jpg"});
    EXPECT_EQ(only.matchedByCurrent, (std::vector<std::string>{"a.png", "B.PNG", "c.Jpg"}));

    options.allowsOtherTypes = true;
    EXPECT_EQ(ShownFilters::of(options, candidates).names, (std::vector<std::string>{"*.png, *.jpg", "All Files"}));
}

TEST_F(GtkPanelTest, FolderChooserHasNoFilters)
{
    platform::peer::PanelOptions options;
    options.canChooseFiles = false;
    options.canChooseDirectories = true;
    options.allowedTypes = {"png"};
    const ShownFilters shown = ShownFilters::of(options, {});
    EXPECT_TRUE(shown.selectsFolders);
    EXPECT_TRUE(shown.names.empty());
}

} // namespace
