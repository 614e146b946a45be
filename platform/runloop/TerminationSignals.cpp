#include "platform/runloop/TerminationSignals.h"

#include "platform/runloop/MainLoop.h"

#include <glib-unix.h>
#include <glib.h>
#include <signal.h>

#include <iterator>
#include <memory>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

struct Installed {
    std::shared_ptr<TerminationSignals::Callback> callback;
    guint sources[std::size(kSignals)] = {};
};

Installed& installed()
{
    static Installed s_installed;
    return s_installed;
}

// GLib dispatches this on the main context once the signal has arrived; the
// callback itself goes through the loop's queue like all posted work.
gboolean onSignal(gpointer data)
{
    int const signalNumber = GPOINTER_TO_INT(data);
    std::shared_ptr<TerminationSignals::Callback> const callback = installed().callback;
    if (callback)
        MainLoop::instance().post([callback, signalNumber] { (*callback)(signalNumber); });
    return G_SOURCE_CONTINUE;
}

} // namespace

void TerminationSignals::install(Callback callback)
{
    Installed& state = installed();
    state.callback = std::make_shared<Callback>(std::move(callback));
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (state.sources[i] == 0)
            state.sources[i] = g_unix_signal_add(kSignals[i], &onSignal, GINT_TO_POINTER(kSignals[i]));
    }
}

void TerminationSignals::uninstall()
{
    Installed& state = installed();
    for (guint& source : state.sources) {
        if (source != 0)
            g_source_remove(source);
        source = 0;
    }
    state.callback.reset();
}

} // namespace platform
