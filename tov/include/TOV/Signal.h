#pragma once
// A signal: functions connected to it are called, in connection order, each
// time it is emitted.
//
// Emitting copies the list of connected slots under the signal's mutex and
// calls the copy with the mutex released, so a slot may connect or
// disconnect slots, also on the signal being emitted, or destroy the
// object that owns the signal: the change takes effect from the next
// emission, and a slot disconnected while an emission runs is still called
// by that emission. Slots disconnected before an emission began are not.
//
// A connection outlives its signal safely: disconnecting after the signal
// is gone does nothing.
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace CV::TOV {

class SignalConnection;

namespace signal_detail {

// What a connection and its signal share: the slot's place in the list.
class SlotLink {
public:
    virtual ~SlotLink() = default;
    virtual void disconnect() = 0;
    virtual bool connected() const = 0;
};

} // namespace signal_detail

// The handle connect() returns.
class SignalConnection {
public:
    SignalConnection() = default;
    explicit SignalConnection(std::weak_ptr<signal_detail::SlotLink> link)
        : m_link(std::move(link))
    {
    }

    void disconnect()
    {
        if (auto link = m_link.lock())
            link->disconnect();
        m_link.reset();
    }
    bool connected() const
    {
        auto link = m_link.lock();
        return link && link->connected();
    }

private:
    std::weak_ptr<signal_detail::SlotLink> m_link;
};

template <class Signature> class Signal;

template <class... Args> class Signal<void(Args...)> {
public:
    using Slot = std::function<void(Args...)>;

    Signal()
        : m_state(std::make_shared<State>())
    {
    }
    ~Signal() { disconnectAll(); }
    Signal(Signal const&) = delete;
    Signal& operator=(Signal const&) = delete;

    SignalConnection connect(Slot slot)
    {
        auto entry = std::make_shared<Entry>(m_state, std::move(slot));
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->entries.push_back(entry);
        return SignalConnection(entry);
    }

    void disconnectAll()
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        for (auto& entry : m_state->entries)
            entry->connectedFlag = false;
        m_state->entries.clear();
    }

    std::size_t slotCount() const
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        return m_state->entries.size();
    }

    void operator()(Args... args) const
    {
        std::vector<std::shared_ptr<Entry>> slots;
        {
            std::lock_guard<std::mutex> lock(m_state->mutex);
            slots = m_state->entries;
        }
        for (auto const& entry : slots)
            entry->slot(args...);
    }

private:
    struct Entry;
    struct State {
        mutable std::mutex mutex;
        std::vector<std::shared_ptr<Entry>> entries;
    };
    struct Entry final : signal_detail::SlotLink {
        Entry(std::weak_ptr<State> owner, Slot function)
            : state(std::move(owner))
            , slot(std::move(function))
        {
        }
        void disconnect() override
        {
            auto owner = state.lock();
            if (!owner)
                return;
            std::lock_guard<std::mutex> lock(owner->mutex);
            if (!connectedFlag)
                return;
            connectedFlag = false;
            auto& entries = owner->entries;
            for (auto it = entries.begin(); it != entries.end(); ++it)
                if (it->get() == this) {
                    entries.erase(it);
                    break;
                }
        }
        bool connected() const override
        {
            auto owner = state.lock();
            if (!owner)
                return false;
            std::lock_guard<std::mutex> lock(owner->mutex);
            return connectedFlag;
        }
        std::weak_ptr<State> state;
        Slot slot;
        bool connectedFlag = true;
    };

    std::shared_ptr<State> m_state;
};

} // namespace CV::TOV
