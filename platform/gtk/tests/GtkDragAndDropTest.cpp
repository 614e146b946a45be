// Drags on a private X server: a drag started by the program from a window,
// moved by xdotool as a user's mouse over another window that is a drop
// destination.
#include "ChildProgram.h"
#include "DesktopBackendSession.h"
#include "QuietWindowClient.h"

#include "platform/backend/Backend.h"
#include "platform/gtk/GtkDragSession.h"
#include "platform/gtk/GtkDropTarget.h"
#include "platform/gtk/GtkWindowPeer.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using desktop_test::ChildProgram;
using desktop_test::QuietWindowClient;
using platform::peer::DragInfo;

const std::string kFileUrl = "file:///tmp/firmware%20image.bin";

// A destination that records what it hears and answers with operation.
class RecordingDestination : public platform::peer::DragDestinationClient {
public:
    explicit RecordingDestination(unsigned operation)
        : m_operation(operation)
    {
    }
    unsigned dragUpdated(const DragInfo& info, bool entered) override
    {
        entries += entered ? 1 : 0;
        lastUpdate = info;
        dataSeen = dragData();
        return m_operation;
    }
    void dragExited() override { ++exits; }
    bool dragPerformed(const DragInfo& info) override
    {
        ++drops;
        dropInfo = info;
        dataSeen = dragData();
        return m_operation != 0;
    }

    int entries = 0;
    int exits = 0;
    int drops = 0;
    DragInfo lastUpdate;
    DragInfo dropInfo;
    std::string dataSeen;

private:
    static std::string dragData()
    {
        const std::vector<std::uint8_t> bytes = platform::Backend::current()
                                                    .pasteboard(platform::gtk::GtkDropTarget::kDragPasteboard)
                                                    .data(0, "public.file-url");
        return std::string(bytes.begin(), bytes.end());
    }

    unsigned m_operation;
};

GtkWidget* windowAt(int x, int y)
{
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 200);
    gtk_window_move(GTK_WINDOW(window), x, y);
    gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK);
    gtk_widget_show(window);
    return window;
}

class GtkDragAndDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = desktop_test::whyDesktopTestCannotRun({"xdotool"});
        if (!missing.empty())
            VARANTO_DESKTOP_UNAVAILABLE() << missing;
        platform::peer::PasteboardPeer& data = platform::Backend::current().pasteboard("test drag data");
        data.clear();
        data.put(0, "public.file-url", std::vector<std::uint8_t>(kFileUrl.begin(), kFileUrl.end()));
        m_source = windowAt(0, 0);
        m_destination = windowAt(500, 0);
        g_signal_connect(m_source, "button-press-event", G_CALLBACK(&GtkDragAndDropTest::startDrag), this);
        ASSERT_TRUE(desktop_test::pumpUntil(
            [&] { return gtk_widget_get_mapped(m_source) && gtk_widget_get_mapped(m_destination); }));
    }

    void TearDown() override
    {
        if (m_source)
            gtk_widget_destroy(m_source);
        if (m_destination)
            gtk_widget_destroy(m_destination);
    }

    // The user presses in the source window (which starts the drag), moves
    // over the destination window and releases the button there. Each step
    // waits for what it causes, so a busy machine only makes it slower.
    void dragAcross(const RecordingDestination& destination)
    {
        userDoes({"mousemove", "100", "100"});
        userDoes({"mousedown", "1"});
        ASSERT_TRUE(desktop_test::pumpUntil([] { return platform::Backend::current().dragSession().isDragging(); }));
        userDoes({"mousemove", "300", "100"});
        userDoes({"mousemove", "560", "120"});
        ASSERT_TRUE(desktop_test::pumpUntil([&] { return destination.entries > 0; }));
        userDoes({"mousemove", "580", "130"});
        ASSERT_TRUE(desktop_test::pumpUntil(
            [&] { return destination.lastUpdate.location.x > 78 && destination.lastUpdate.location.y > 128; }));
        userDoes({"mouseup", "1"});
        ASSERT_TRUE(desktop_test::pumpUntil([&] { return ended.has_value(); }));
        // Whatever the destination hears after the drag ended.
        desktop_test::pumpUntil([] { return !g_main_context_pending(nullptr); });
    }

    static void userDoes(std::vector<std::string> step)
    {
        step.insert(step.begin(), {"timeout", "20", "xdotool"});
        ChildProgram user(step);
        EXPECT_EQ(user.finish(), 0);
    }

    static gboolean startDrag(GtkWidget*, GdkEventButton*, gpointer self)
    {
        auto* test = static_cast<GtkDragAndDropTest*>(self);
        platform::peer::CursorImage image;
        image.width = 16;
        image.height = 8;
        image.pixels.assign(16 * 8, 0xFFFFFFFFu);
        platform::Backend::current().dragSession().begin(
            "test drag data", image, platform::peer::Point{100, 100},
            platform::peer::kDragCopy | platform::peer::kDragMove,
            [test](platform::peer::Point at, unsigned operation) { test->ended = std::make_pair(at, operation); });
        return TRUE;
    }

    GtkWidget* m_source = nullptr;
    GtkWidget* m_destination = nullptr;
    std::optional<std::pair<platform::peer::Point, unsigned>> ended;
};

TEST_F(GtkDragAndDropTest, DropIsRefusedByADestinationThatAcceptsNothing)
{
    RecordingDestination refusing(platform::peer::kDragNone);
    platform::gtk::GtkDropTarget target(m_destination, &refusing);
    dragAcross(refusing);

    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->second, platform::peer::kDragNone);
    EXPECT_EQ(refusing.entries, 1);
    EXPECT_EQ(refusing.drops, 0);
    EXPECT_EQ(refusing.exits, 1);
    EXPECT_EQ(refusing.dataSeen, kFileUrl);
    EXPECT_FALSE(platform::Backend::current().dragSession().isDragging());
}

TEST_F(GtkDragAndDropTest, DropTakenByTheDestinationWithItsDataAndOperation)
{
    RecordingDestination accepting(platform::peer::kDragCopy);
    platform::gtk::GtkDropTarget target(m_destination, &accepting);
    dragAcross(accepting);

    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->second, platform::peer::kDragCopy);
    EXPECT_EQ(accepting.entries, 1);
    ASSERT_EQ(accepting.drops, 1);
    // The leave the toolkit sends before the drop is not the client's.
    EXPECT_EQ(accepting.exits, 0);
    EXPECT_EQ(accepting.dataSeen, kFileUrl);
    EXPECT_EQ(accepting.dropInfo.pasteboard, platform::gtk::GtkDropTarget::kDragPasteboard);
    EXPECT_EQ(accepting.dropInfo.sourceOperations, platform::peer::kDragCopy | platform::peer::kDragMove);
    EXPECT_NEAR(accepting.dropInfo.location.x, 80, 2);
    EXPECT_NEAR(accepting.dropInfo.location.y, 130, 2);
    EXPECT_NEAR(ended->first.x, 580, 2);
}

TEST_F(GtkDragAndDropTest, ProgramsOwnTypeAndTextReachADestinationOfTheSameProgram)
{
    const std::string internal = "calvarine.application.internalclipboardformat.0x1";
    const std::vector<std::uint8_t> pointers = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const std::string text = "Grüße ✓";
    platform::peer::PasteboardPeer& data = platform::Backend::current().pasteboard("test drag data");
    data.clear();
    data.put(0, internal, pointers);
    data.put(0, "public.utf8-plain-text", std::vector<std::uint8_t>(text.begin(), text.end()));

    RecordingDestination accepting(platform::peer::kDragCopy);
    platform::gtk::GtkDropTarget target(m_destination, &accepting);
    dragAcross(accepting);

    ASSERT_EQ(accepting.drops, 1);
    const platform::peer::PasteboardPeer& dropped =
        platform::Backend::current().pasteboard(platform::gtk::GtkDropTarget::kDragPasteboard);
    EXPECT_EQ(dropped.data(0, internal), pointers);
    const std::vector<std::uint8_t> utf8 = dropped.data(0, "public.utf8-plain-text");
    EXPECT_EQ(std::string(utf8.begin(), utf8.end()), text);
    EXPECT_EQ(dropped.data(0, "public.utf16-plain-text").size(), 2 * std::u16string(u"Grüße ✓").size());
}

// A window peer of the backend at the place of the destination window,
// with a drag client.
std::unique_ptr<platform::peer::WindowPeer> dropWindow(platform::peer::WindowClient& client,
                                                       platform::peer::DragDestinationClient& drag)
{
    platform::peer::WindowSpec spec;
    spec.content = platform::peer::Rect{500, 0, 200, 200};
    spec.decorated = false;
    auto window =
        platform::Backend::current().createWindow(spec, platform::peer::WindowClients{&client, nullptr, &drag});
    window->show(false);
    GtkWidget* content = dynamic_cast<platform::gtk::GtkWindowPeer&>(*window).contentArea();
    EXPECT_TRUE(desktop_test::pumpUntil([&] { return gtk_widget_get_mapped(content); }));
    return window;
}

TEST_F(GtkDragAndDropTest, DesktopWindowsContentIsADropDestinationForItsDragClient)
{
    gtk_widget_hide(m_destination);
    RecordingDestination accepting(platform::peer::kDragCopy);
    QuietWindowClient client;
    auto window = dropWindow(client, accepting);
    dragAcross(accepting);

    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->second, platform::peer::kDragCopy);
    EXPECT_EQ(accepting.drops, 1);
    EXPECT_EQ(accepting.dataSeen, kFileUrl);
}

TEST_F(GtkDragAndDropTest, DestinationMayCloseItsWindowWhenItTakesTheDrop)
{
    gtk_widget_hide(m_destination);
    struct Closing : RecordingDestination {
        using RecordingDestination::RecordingDestination;
        bool dragPerformed(const DragInfo& info) override
        {
            RecordingDestination::dragPerformed(info);
            window.reset();
            return true;
        }
        std::unique_ptr<platform::peer::WindowPeer> window;
    } closing(platform::peer::kDragCopy);
    QuietWindowClient client;
    closing.window = dropWindow(client, closing);
    dragAcross(closing);

    EXPECT_EQ(closing.drops, 1);
    EXPECT_FALSE(closing.window);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->second, platform::peer::kDragCopy);
}

} // namespace
