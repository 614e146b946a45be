#pragma once
// Sleep and wake of the system, as logind announces them with its
// PrepareForSleep signal on the system bus (true: about to sleep, false:
// woken up); what the desktop backend's power peer reports. Without a
// system bus the watch reports nothing and says so through isActive(); it
// never complains. The callback runs on the main loop.
#include <functional>

typedef struct _GDBusConnection GDBusConnection;

namespace platform {

class SystemPowerWatch {
public:
    // Where logind speaks: the system bus; tests stand in for it on a
    // session bus of their own.
    enum class Bus { System, Session };

    explicit SystemPowerWatch(std::function<void(bool sleeping)> callback, Bus bus = Bus::System);
    ~SystemPowerWatch();
    SystemPowerWatch(const SystemPowerWatch&) = delete;
    SystemPowerWatch& operator=(const SystemPowerWatch&) = delete;

    bool isActive() const { return m_connection != nullptr; }

private:
    static void onSignal(GDBusConnection*, const char*, const char*, const char*, const char*, void* parameters,
                         void* self);

    std::function<void(bool)> m_callback;
    GDBusConnection* m_connection = nullptr;
    unsigned m_subscription = 0;
};

} // namespace platform
