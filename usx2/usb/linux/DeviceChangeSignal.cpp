#include "usx2/usb/linux/DeviceChangeSignal.h"

#include <vector>

namespace CV {
namespace USX2 {

namespace {

// Disconnects a listener when it goes.
class Connection {
public:
    explicit Connection(std::function<void()> disconnect)
        : m_disconnect(std::move(disconnect))
    {
    }
    ~Connection() { m_disconnect(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

private:
    std::function<void()> m_disconnect;
};

} // namespace

DeviceChangeSignal::Token DeviceChangeSignal::connect(Listener listener)
{
    std::uint64_t id = 0;
    {
        std::lock_guard<std::mutex> lock(m_pListeners->mutex);
        id = ++m_pListeners->lastId;
        m_pListeners->byId.emplace(id, std::move(listener));
    }
    std::weak_ptr<Listeners> listeners = m_pListeners;
    return std::make_shared<Connection>([listeners, id] {
        if (std::shared_ptr<Listeners> alive = listeners.lock()) {
            std::lock_guard<std::mutex> lock(alive->mutex);
            alive->byId.erase(id);
        }
    });
}

void DeviceChangeSignal::notify() const
{
    std::vector<Listener> listeners;
    {
        std::lock_guard<std::mutex> lock(m_pListeners->mutex);
        for (const auto& entry : m_pListeners->byId)
            listeners.push_back(entry.second);
    }
    for (const Listener& listener : listeners)
        listener();
}

bool DeviceChangeSignal::hasListeners() const
{
    std::lock_guard<std::mutex> lock(m_pListeners->mutex);
    return !m_pListeners->byId.empty();
}

} // namespace USX2
} // namespace CV
