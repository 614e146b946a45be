// The desktop window's costs on a private X server: one full repaint of a
// window of the updater's size (the client's drawing into the framebuffer
// and the blit to the X server), the same done with cairo alone, the blit
// alone, and one turn of the main loop with nothing invalid.
#include "../tests/GtkBackendSelection.h"
#include "../tests/QuietWindowClient.h"

#include "platform/backend/Backend.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/runloop/MainLoop.h"

#include "VarantoTest/PrivateXServer.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <chrono>
#include <memory>

namespace {

using namespace platform;

class FillingClient : public desktop_test::QuietWindowClient {
public:
    bool fill = true;
    void draw(CGContextRef context, const peer::Rect& dirty) override
    {
        QuietWindowClient::draw(context, dirty);
        if (!fill)
            return;
        CGContextSetRGBFillColor(context, 0.2, 0.4, 0.6, 1);
        CGContextFillRect(context, CGRectMake(dirty.x, 335 - dirty.y - dirty.height, dirty.width, dirty.height));
    }
};

// The server, the backend and one shown 627x335 window for every benchmark.
struct Desktop {
    CV::test::PrivateXServer server;
    bool selected = false;
    FillingClient client;
    std::unique_ptr<peer::WindowPeer> window;
    cairo_surface_t* target = nullptr; // a server-side surface like the window's

    Desktop()
    {
        selected = server.running() && desktop_test::selectGtkBackend("bench");
        if (!selected)
            return;
        peer::WindowSpec spec;
        spec.content = peer::Rect{10, 10, 627, 335};
        spec.resizable = false;
        window = Backend::current().createWindow(spec, peer::WindowClients{&client, nullptr, nullptr});
        window->show(true);
        MainLoop::instance().runUntil([this] { return client.draws > 0; }, std::chrono::seconds(15));
        target = gdk_window_create_similar_surface(gtk_widget_get_window(area()), CAIRO_CONTENT_COLOR, 627, 335);
    }
    ~Desktop()
    {
        if (target)
            cairo_surface_destroy(target);
        window.reset();
        if (selected)
            headless::HeadlessBackend::select();
    }

    GtkWidget* area() const { return static_cast<gtk::GtkWindowPeer&>(*window).contentArea(); }

    // What GTK does for a paint of the whole area, into the X server.
    void paintOnce()
    {
        cairo_t* cr = cairo_create(target);
        gtk_widget_draw(area(), cr);
        cairo_destroy(cr);
        cairo_surface_flush(target);
        gdk_display_sync(gdk_display_get_default());
    }

    static Desktop& instance()
    {
        static Desktop desktop;
        return desktop;
    }
    bool ready() const { return window != nullptr; }
};

void BM_WindowFullRepaint(benchmark::State& state)
{
    Desktop& desktop = Desktop::instance();
    if (!desktop.ready()) {
        state.SkipWithError("no X server");
        return;
    }
    desktop.client.fill = true;
    for (auto _ : state) {
        desktop.window->invalidate({peer::Rect{0, 0, 627, 335}});
        desktop.paintOnce();
    }
    state.SetItemsProcessed(state.iterations() * 627 * 335);
}
BENCHMARK(BM_WindowFullRepaint)->Unit(benchmark::kMicrosecond);

// The peer: cairo fills the same rectangle in an image surface of the
// window's size and format and paints it onto the same server-side surface
// as the window's paint does.
void BM_WindowFullRepaint_cairo(benchmark::State& state)
{
    Desktop& desktop = Desktop::instance();
    if (!desktop.ready()) {
        state.SkipWithError("no X server");
        return;
    }
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 627, 335);
    for (auto _ : state) {
        cairo_t* drawing = cairo_create(image);
        cairo_set_source_rgba(drawing, 0.2, 0.4, 0.6, 1);
        cairo_rectangle(drawing, 0, 0, 627, 335);
        cairo_fill(drawing);
        cairo_destroy(drawing);
        cairo_t* cr = cairo_create(desktop.target);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(desktop.target);
        gdk_display_sync(gdk_display_get_default());
    }
    cairo_surface_destroy(image);
    state.SetItemsProcessed(state.iterations() * 627 * 335);
}
BENCHMARK(BM_WindowFullRepaint_cairo)->Unit(benchmark::kMicrosecond);

// The same without the client's drawing: the bitmap context and the blit.
void BM_WindowRepaintWithoutDrawing(benchmark::State& state)
{
    Desktop& desktop = Desktop::instance();
    if (!desktop.ready()) {
        state.SkipWithError("no X server");
        return;
    }
    desktop.client.fill = false;
    for (auto _ : state) {
        desktop.window->invalidate({peer::Rect{0, 0, 627, 335}});
        desktop.paintOnce();
    }
    desktop.client.fill = true;
    state.SetItemsProcessed(state.iterations() * 627 * 335);
}
BENCHMARK(BM_WindowRepaintWithoutDrawing)->Unit(benchmark::kMicrosecond);

void BM_WindowBlitOnly(benchmark::State& state)
{
    Desktop& desktop = Desktop::instance();
    if (!desktop.ready()) {
        state.SkipWithError("no X server");
        return;
    }
    for (auto _ : state)
        desktop.paintOnce();
    state.SetItemsProcessed(state.iterations() * 627 * 335);
}
BENCHMARK(BM_WindowBlitOnly)->Unit(benchmark::kMicrosecond);

void BM_IdleLoopTurn(benchmark::State& state)
{
    Desktop& desktop = Desktop::instance();
    if (!desktop.ready()) {
        state.SkipWithError("no X server");
        return;
    }
    const int drawsBefore = desktop.client.draws;
    for (auto _ : state)
        MainLoop::instance().runPending();
    if (desktop.client.draws != drawsBefore)
        state.SkipWithError("the idle loop drew");
}
BENCHMARK(BM_IdleLoopTurn)->Unit(benchmark::kNanosecond);

} // namespace
