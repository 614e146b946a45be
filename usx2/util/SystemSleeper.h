#pragma once

#include "usx2/util/Sleeper.h"

namespace CV {
namespace USX2 {

// Real time: the steady clock and plain thread sleeps.
class SystemSleeper : public Sleeper {
public:
    void sleepFor(Duration duration) override;
    Duration now() const override;
};

} // namespace USX2
} // namespace CV
