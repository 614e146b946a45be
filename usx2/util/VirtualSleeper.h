#pragma once

#include "usx2/util/Sleeper.h"

#include <mutex>
#include <vector>

namespace CV {
namespace USX2 {

// Virtual time: it starts at 0 and moves only when someone sleeps, by exactly
// the time asked for. Lets device protocols with waits of minutes run at once.
class VirtualSleeper : public Sleeper {
public:
    void sleepFor(Duration duration) override;
    Duration now() const override;

    // Every sleep asked for so far, in order.
    std::vector<Duration> sleeps() const;

private:
    mutable std::mutex m_mutex;
    Duration m_now{0};
    std::vector<Duration> m_sleeps;
};

} // namespace USX2
} // namespace CV
