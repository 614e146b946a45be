#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace CV {
namespace USX2 {

// Tells listeners that the devices of a source (a USB host, a registry) may
// have changed: one arrived or one left. Listeners learn only that; they list
// the devices again to see what changed. notify() may run on any thread
// (libusb's event thread, a thread that unplugs a simulated device), so a
// listener only hands the news on. A listener stays connected while the
// token that connect() returned lives; one that is being called while its
// token goes may still finish that call.
class DeviceChangeSignal {
public:
    using Listener = std::function<void()>;
    using Token = std::shared_ptr<void>;

    Token connect(Listener listener);
    void notify() const;
    bool hasListeners() const;

private:
    struct Listeners {
        mutable std::mutex mutex;
        std::uint64_t lastId = 0;
        std::map<std::uint64_t, Listener> byId;
    };

    std::shared_ptr<Listeners> m_pListeners = std::make_shared<Listeners>();
};

} // namespace USX2
} // namespace CV
