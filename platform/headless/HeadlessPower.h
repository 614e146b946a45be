#pragma once
// Sleep and wake as the test driver scripts them.
#include "platform/peer/PowerPeer.h"

#include <optional>

namespace platform::headless {

class HeadlessPower : public peer::PowerPeer {
public:
    void setClient(peer::PowerClient* client) override { m_client = client; }
    void allowSleep(bool allow) override { m_answer = allow; }

    // Announces sleep; the client's answer so far (none before it answers).
    std::optional<bool> sleep()
    {
        m_answer.reset();
        if (m_client)
            m_client->systemWillSleep();
        return m_answer;
    }
    std::optional<bool> answer() const { return m_answer; }
    void wake()
    {
        if (m_client)
            m_client->systemDidWake();
    }

private:
    peer::PowerClient* m_client = nullptr;
    std::optional<bool> m_answer;
};

} // namespace platform::headless
