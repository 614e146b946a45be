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
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using desktop_test::ChildProgram;

// Answers Cancel for a panel nobody answered in time, so that a test that
// fails cannot hang; tells whether it had to.
class PanelDeadline {
public:
    PanelDeadline()
        : m_source(
              g_timeout_add_seconds(guint(desktop_test::kWaitLimit.count()), &PanelDeadline::cancelDialogs, &m_fired))
    {
    }
    ~PanelDeadline() { g_source_remove(m_source); }

    bool fired() const { return m_fired; }

private:
    static gboolean cancelDialogs(gpointer fired)
    {
        GList* windows = gtk_window_list_toplevels();
        for (GList* window = windows; window; window = window->next)
            if (GTK_IS_DIALOG(window->data)) {
                gtk_dialog_response(GTK_DIALOG(window->data), GTK_RESPONSE_CANCEL);
                *static_cast<bool*>(fired) = true;
            }
        g_list_free(windows);
        return G_SOURCE_CONTINUE;
    }

    bool m_fired = false;
    guint m_source;
};

// The file chooser on the screen: mapped, null when there is none.
GtkWidget* shownPanel()
{
    GtkWidget* shown = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* window = windows; window && !shown; window = window->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(window->data) && gtk_widget_get_mapped(GTK_WIDGET(window->data)))
            shown = GTK_WIDGET(window->data);
    g_list_free(windows);
    return shown;
}

// The text of the panel's focused entry; none when no entry has the focus.
std::optional<std::string> focusedEntryText(GtkWidget* panel)
{
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(panel));
    if (!focus || !GTK_IS_ENTRY(focus))
        return std::nullopt;
    return std::string(gtk_entry_get_text(GTK_ENTRY(focus)));
}

// A user at the keyboard of the next panel shown, who presses each step's
// keys with xdotool. The panel's own loop watches it (a timer of the modal
// panel mode): keys go out only once the panel is mapped and has the
// keyboard focus (so the server hands them to it), one xdotool at a time,
// and are judged only after all the events they caused were handled. A step
// not yet done then is pressed again (its keys must bear that); the last
// step is pressed until the panel answers or is asked for its answer (a
// save panel looks at the folder before it answers).
class PanelUser {
public:
    struct Step {
        std::vector<std::string> keys; // xdotool's commands
        // Whether the panel shows the step done (unused for the last).
        std::function<bool(GtkWidget* panel)> done;
    };

    explicit PanelUser(std::vector<Step> steps)
        : m_steps(std::move(steps))
        , m_timer(platform::MainLoop::instance().addTimer(
              std::chrono::milliseconds(20), true, [this] { look(); }, platform::RunLoopMode::ModalPanel))
        , m_response(g_signal_lookup("response", GTK_TYPE_DIALOG))
        , m_responseHook(g_signal_add_emission_hook(m_response, 0, &PanelUser::noteResponse, this, nullptr))
    {
    }
    ~PanelUser()
    {
        g_signal_remove_emission_hook(m_response, m_responseHook);
        platform::MainLoop::instance().cancelTimer(m_timer);
    }
    PanelUser(const PanelUser&) = delete;
    PanelUser& operator=(const PanelUser&) = delete;

    // Whether the last step's keys went out, and every xdotool ran well.
    bool reachedTheLastStep() const { return m_step + 1 == m_steps.size() && m_presses > 0 && m_failures == 0; }

private:
    // Seen before the panel's own handlers, which may hold the answer back.
    static gboolean noteResponse(GSignalInvocationHint*, guint, const GValue*, gpointer self)
    {
        static_cast<PanelUser*>(self)->m_answerAsked = true;
        return TRUE;
    }

    void look()
    {
        GtkWidget* panel = shownPanel();
        if (!panel || m_answerAsked)
            return;
        if (!gtk_window_is_active(GTK_WINDOW(panel))) {
            gdk_window_focus(gtk_widget_get_window(panel), GDK_CURRENT_TIME);
            return;
        }
        if (m_keys) {
            if (!m_keys->ended())
                return;
            m_failures += m_keys->exitStatus() != 0;
            m_keys.reset();
            // What the keys caused is in the toolkit's queue after this.
            gdk_display_sync(gtk_widget_get_display(panel));
            return;
        }
        if (gdk_events_pending())
            return;
        if (m_presses > 0 && m_step + 1 < m_steps.size() && m_steps[m_step].done(panel)) {
            ++m_step;
            m_presses = 0;
        }
        std::vector<std::string> command = {"xdotool"};
        command.insert(command.end(), m_steps[m_step].keys.begin(), m_steps[m_step].keys.end());
        m_keys = std::make_unique<ChildProgram>(command);
        ++m_presses;
    }

    std::vector<Step> m_steps;
    std::size_t m_step = 0;
    int m_presses = 0;
    int m_failures = 0;
    std::unique_ptr<ChildProgram> m_keys;
    bool m_answerAsked = false;
    platform::MainLoop::TimerId m_timer;
    guint m_response;
    gulong m_responseHook;
};

// Steps: typing text into the entry that has the focus, in place of what
// it holds; pressing Return.
PanelUser::Step typeIntoFocusedEntry(const std::string& text)
{
    return {{"key", "ctrl+a", "type", "--delay", "20", text},
            [text](GtkWidget* panel) { return focusedEntryText(panel) == text; }};
}

PanelUser::Step pressReturn()
{
    return {{"key", "Return"}, nullptr};
}

class GtkPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = desktop_test::whyDesktopTestCannotRun({"xdotool"});
        if (!missing.empty())
            VARANTO_DESKTOP_UNAVAILABLE() << missing;
    }

    // The panel's answer to the user taking these steps; a panel the user
    // does not answer fails the test.
    static platform::peer::PanelResult run(const platform::peer::PanelOptions& options,
                                           std::vector<PanelUser::Step> steps)
    {
        PanelUser user(std::move(steps));
        PanelDeadline deadline;
        const platform::peer::PanelResult result = platform::gtk::GtkPanel().runModal(options);
        EXPECT_FALSE(deadline.fired()) << "the user's keys did not answer the panel";
        EXPECT_TRUE(user.reachedTheLastStep());
        return result;
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
    // Ctrl+L shows the location entry and gives it the focus.
    const PanelUser::Step openLocation = {{"key", "ctrl+l"},
                                          [](GtkWidget* panel) { return focusedEntryText(panel).has_value(); }};

    const platform::peer::PanelResult result =
        run(options, {openLocation, typeIntoFocusedEntry(chosen), pressReturn()});
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.paths, std::vector<std::string>{chosen});
}

TEST_F(GtkPanelTest, SavePanelStartsInTheFolderWithTheProposedNameAndAnswersTheTypedOne)
{
    platform::peer::PanelOptions options;
    options.save = true;
    options.title = "Save a test file";
    options.directory = m_folder.string();
    options.nameField = "proposed.txt";

    EXPECT_EQ(run(options, {pressReturn()}).paths, std::vector<std::string>{m_folder.at("proposed.txt")});

    const platform::peer::PanelResult typed = run(options, {typeIntoFocusedEntry("typed name.bin"), pressReturn()});
    EXPECT_TRUE(typed.accepted);
    EXPECT_EQ(typed.paths, std::vector<std::string>{m_folder.at("typed name.bin")});
}

TEST_F(GtkPanelTest, CancelledPanelAnswersFailureWithoutPaths)
{
    std::ofstream(m_folder.at("kept.txt")) << "kept\n";
    platform::peer::PanelOptions options;
    options.title = "Cancel a test panel";
    options.directory = m_folder.string();

    const platform::peer::PanelResult result = run(options, {{{"key", "Escape"}, nullptr}});
    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(result.paths.empty());
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

    PanelDeadline deadline;
    EXPECT_FALSE(platform::gtk::GtkPanel().runModal(platform::peer::PanelOptions{}).accepted);
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
