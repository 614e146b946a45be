#pragma once
// The wheel that turns in the info panel while an update runs. It sets no
// timer of its own: the wizard calls onTimer once per poll tick, and every
// second tick moves the wheel one of its twelve steps on. The style sheet
// picks the wheel's picture by the "step" attribute ("S0" to "S11").
#include "TOV/Bar.h"

#include <cstdint>

namespace CV {

class SpinningProgressWheel : public TOV::Bar {
public:
    static constexpr uint32_t kSteps = 12;

    void onTimer() override;

    // Shows the wheel and lets it turn from step 0.
    void start();
    // Hides the wheel; the tick count and the step keep their values.
    void stop();

    bool isRunning() const { return m_bRunning; }
    uint32_t getTickCount() const { return m_uTickCount; }
    uint32_t getStep() const { return m_uStep; }

private:
    bool m_bRunning = false;
    uint32_t m_uTickCount = 0;
    uint32_t m_uStep = 0;
};

} // namespace CV
