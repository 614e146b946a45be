// The wheel that turns while an update runs.

#include "updater/app/wizard/SpinningProgressWheel.h"

#include "BAS/Region.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using CV::SpinningProgressWheel;

std::string attribute(CV::TOV::Widget const& widget, const char* name)
{
    auto const it = widget.getAttributes().find(cv::symbol(std::string(name)));
    return it == widget.getAttributes().end() ? std::string() : it->second;
}

// Widgets take their regions from the pool.
class SpinningProgressWheelTest : public ::testing::Test {
protected:
    void SetUp() override { CV::BAS::Region::init(); }
    void TearDown() override { CV::BAS::Region::deInit(); }
};

TEST_F(SpinningProgressWheelTest, WheelStepsEverySecondTickAndWrapsAfterElevenSteps)
{
    auto const wheelOwner = std::make_shared<SpinningProgressWheel>();
    SpinningProgressWheel& wheel = *wheelOwner;
    wheel.onTimer();
    EXPECT_EQ(wheel.getTickCount(), 0u) << "a stopped wheel does not count";

    wheel.start();
    EXPECT_TRUE(wheel.isActive());
    std::vector<std::string> steps;
    for (int tick = 1; tick <= 24; ++tick) {
        wheel.onTimer();
        if (tick % 2 == 1)
            EXPECT_EQ(wheel.getStep(), static_cast<unsigned>(tick / 2) % 12) << "tick " << tick;
        else
            steps.push_back(attribute(wheel, "step"));
    }
    std::vector<std::string> const expected = {"S1", "S2", "S3", "S4",  "S5",  "S6",
                                               "S7", "S8", "S9", "S10", "S11", "S0"};
    EXPECT_EQ(steps, expected);

    wheel.onTimer();
    wheel.onTimer();
    wheel.stop();
    EXPECT_FALSE(wheel.isActive());
    EXPECT_EQ(wheel.getStep(), 1u) << "a stopped wheel keeps its step";
    wheel.onTimer();
    EXPECT_EQ(wheel.getTickCount(), 26u);

    wheel.start();
    EXPECT_EQ(wheel.getTickCount(), 0u);
    EXPECT_EQ(wheel.getStep(), 0u);
}

} // namespace
