#include "platform/power/SystemPowerWatch.h"

#include <gio/gio.h>

namespace platform {

SystemPowerWatch::SystemPowerWatch(std::function<void(bool sleeping)> callback, Bus bus)
    : m_callback(std::move(callback))
{
    // No system bus (containers, CI): stay quiet and report nothing.
    GError* error = nullptr;
    m_connection = g_bus_get_sync(bus == Bus::System ? G_BUS_TYPE_SYSTEM : G_BUS_TYPE_SESSION, nullptr, &error);
    if (error != nullptr)
        g_error_free(error);
    if (m_connection == nullptr)
        return;
    m_subscription = g_dbus_connection_signal_subscribe(
        m_connection, "org.freedesktop.login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
        "/org/freedesktop/login1", nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        reinterpret_cast<GDBusSignalCallback>(&SystemPowerWatch::onSignal), this, nullptr);
}

SystemPowerWatch::~SystemPowerWatch()
{
    if (m_connection == nullptr)
        return;
    g_dbus_connection_signal_unsubscribe(m_connection, m_subscription);
    g_object_unref(m_connection);
}

void SystemPowerWatch::onSignal(GDBusConnection*, const char*, const char*, const char*, const char*, void* parameters,
                                void* self)
{
    auto* variant = static_cast<GVariant*>(parameters);
    if (!g_variant_is_of_type(variant, G_VARIANT_TYPE("(b)")))
        return;
    gboolean sleeping = FALSE;
    g_variant_get(variant, "(b)", &sleeping);
    auto* watch = static_cast<SystemPowerWatch*>(self);
    if (watch->m_callback)
        watch->m_callback(sleeping != FALSE);
}

} // namespace platform
