// Sleep and wake as logind announces them, on a private session bus that
// stands in for the system bus: a test connection owns logind's name and
// emits PrepareForSleep.
#include "platform/power/DesktopPower.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace platform {
namespace {

class RecordingClient : public peer::PowerClient {
public:
    void systemWillSleep() override { events.push_back("sleep"); }
    void systemDidWake() override { events.push_back("wake"); }
    std::vector<std::string> events;
};

// Runs the default main context until `done` or `limit` has passed.
template <typename Done> bool spinUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        g_main_context_iteration(nullptr, FALSE);
    return done();
}

class DesktopPowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gchar* daemon = g_find_program_in_path("dbus-daemon");
        g_free(daemon);
        if (daemon == nullptr)
            GTEST_SKIP() << "no dbus-daemon here";
        bus = g_test_dbus_new(G_TEST_DBUS_NONE);
        g_test_dbus_up(bus);
        logind =
            g_dbus_connection_new_for_address_sync(g_test_dbus_get_bus_address(bus),
                                                   GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                                                   nullptr, nullptr, nullptr);
        ASSERT_NE(logind, nullptr);
        g_bus_own_name_on_connection(
            logind, "org.freedesktop.login1", G_BUS_NAME_OWNER_FLAGS_NONE,
            [](GDBusConnection*, const char*, gpointer owned) { *static_cast<bool*>(owned) = true; }, nullptr,
            &nameOwned, nullptr);
        ASSERT_TRUE(spinUntil([this] { return nameOwned; }));
    }

    void TearDown() override
    {
        if (logind)
            g_object_unref(logind);
        if (bus) {
            g_test_dbus_down(bus);
            g_object_unref(bus);
        }
    }

    void announce(bool sleeping)
    {
        g_dbus_connection_emit_signal(logind, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                      "PrepareForSleep", g_variant_new("(b)", sleeping), nullptr);
        g_dbus_connection_flush_sync(logind, nullptr, nullptr);
    }

    GTestDBus* bus = nullptr;
    GDBusConnection* logind = nullptr;
    bool nameOwned = false;
};

// The watch learns the owner of logind's name over the bus after it has
// subscribed and drops signals that come before: announce again until the
// client hears it, and compare the announcements heard, each run once.
std::vector<std::string> distinct(std::vector<std::string> const& events)
{
    std::vector<std::string> runs;
    for (auto const& event : events)
        if (runs.empty() || runs.back() != event)
            runs.push_back(event);
    return runs;
}

TEST_F(DesktopPowerTest, SleepAndWakeReachTheClientWhileItIsSet)
{
    DesktopPower power(SystemPowerWatch::Bus::Session);
    RecordingClient client;
    power.setClient(&client);
    auto const heard = [&](char const* event) { return !client.events.empty() && client.events.back() == event; };
    for (int attempt = 0; attempt < 50 && !heard("sleep"); ++attempt) {
        announce(true);
        spinUntil([&] { return heard("sleep"); }, std::chrono::milliseconds(100));
    }
    for (int attempt = 0; attempt < 50 && !heard("wake"); ++attempt) {
        announce(false);
        spinUntil([&] { return heard("wake"); }, std::chrono::milliseconds(100));
    }
    EXPECT_EQ(distinct(client.events), (std::vector<std::string>{"sleep", "wake"}));

    std::size_t const before = client.events.size();
    power.setClient(nullptr);
    announce(true);
    spinUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(client.events.size(), before) << "no client: nothing is reported";
}

TEST(DesktopPower, WithoutABusNothingHappens)
{
    // The system bus is missing in containers; setting and clearing a client
    // must stay quiet.
    DesktopPower power;
    RecordingClient client;
    power.setClient(&client);
    power.allowSleep(false);
    power.setClient(nullptr);
    EXPECT_TRUE(client.events.empty());
}

} // namespace
} // namespace platform
