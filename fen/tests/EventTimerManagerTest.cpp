#include "FEN/EventTimerManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;

// Counts installs and deinstalls; ticks are driven by the test.
class FakeBridge : public AbstractEventTimerManagerOsBridge {
public:
    FakeBridge(EventTimerManager& manager, std::vector<std::string>& log)
        : AbstractEventTimerManagerOsBridge(manager)
        , m_log(log)
    {
    }
    void install(std::chrono::milliseconds period) override
    {
        m_log.push_back("install " + std::to_string(period.count()));
    }
    void deinstall() override { m_log.push_back("deinstall"); }

private:
    std::vector<std::string>& m_log;
};

// A target that records its ticks in a shared log and may act in them.
class Ticker : public EventTarget {
public:
    Ticker(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code != eTimerEvent::TimerTick)
            return false;
        auto* tick = static_cast<TimerEventData*>(data);
        m_log.push_back(m_name + " " + std::to_string(tick->interval));
        lastTimer = tick->timer;
        if (onTick)
            onTick(tick->timer);
        return true;
    }
    std::function<void(HEventTimer)> onTick;
    HEventTimer lastTimer = nullptr;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

class EventTimerManagerTest : public testing::Test {
protected:
    EventTimerManagerTest()
        : manager([this](EventTimerManager& m) { return std::make_unique<FakeBridge>(m, bridgeLog); })
    {
    }
    // The ticks that delivered something, one string per pass.
    std::vector<std::string> run(int ticks)
    {
        std::vector<std::string> passes;
        for (int i = 0; i < ticks; ++i) {
            log.clear();
            manager.notifySubscribers();
            std::string pass;
            for (const std::string& entry : log)
                pass += (pass.empty() ? "" : ", ") + entry;
            passes.push_back(pass);
        }
        return passes;
    }

    std::vector<std::string> bridgeLog;
    std::vector<std::string> log;
    EventTimerManager manager;
};

TEST_F(EventTimerManagerTest, IntervalsRoundToTheNearestMasterMultiple)
{
    struct Case {
        unsigned master;
        int requested;
        int expected;
    };
    const Case cases[] = {
        {40, -5, 40}, {40, 0, 40},   {40, 1, 40},    {40, 40, 40},   {40, 60, 40},     {40, 61, 80},
        {40, 79, 80}, {40, 100, 80}, {40, 101, 120}, {40, 120, 120}, {25, 37, 25},     {25, 38, 50},
        {25, 12, 25}, {1, 17, 17},   {3, 4, 3},      {3, 5, 6},      {40, 1000, 1000},
    };
    for (const Case& c : cases) {
        EventTimerManager local([&](EventTimerManager& m) { return std::make_unique<FakeBridge>(m, bridgeLog); });
        local.setMasterTimerTimeout(c.master);
        EventTarget target;
        HEventTimer timer = local.subscribe(&target, c.requested, 0);
        EXPECT_EQ(timer->interval, c.expected) << c.master << "/" << c.requested;
        EXPECT_EQ(timer->countdown, c.expected) << c.master << "/" << c.requested;
    }
}

TEST_F(EventTimerManagerTest, TicksFollowTheRoundedIntervals)
{
    Ticker fast("fast", log), slow("slow", log);
    fast.setEventTimer(1, 0);
    slow.setEventTimer(61, 0);
    EXPECT_EQ(run(4), (std::vector<std::string>{"fast 40", "fast 40, slow 80", "fast 40", "fast 40, slow 80"}));
}

TEST_F(EventTimerManagerTest, HigherPrioritiesFirstEqualOnesInOrderOfSubscription)
{
    Ticker a("a", log), b("b", log), c("c", log), d("d", log);
    a.setEventTimer(40, 5);
    b.setEventTimer(40, -10);
    c.setEventTimer(40, 5);
    d.setEventTimer(40, 7);
    EXPECT_EQ(run(1), (std::vector<std::string>{"d 40, a 40, c 40, b 40"}));
}

TEST_F(EventTimerManagerTest, PlatformTimerRunsExactlyWhileSubscriptionsExist)
{
    EventTarget a, b;
    HEventTimer ta = a.setEventTimer(40, 0);
    HEventTimer tb = b.setEventTimer(80, 0);
    EXPECT_EQ(bridgeLog, (std::vector<std::string>{"install 40"}));
    EXPECT_TRUE(a.killEventTimer(ta));
    EXPECT_EQ(bridgeLog.size(), 1u);
    EXPECT_TRUE(b.killEventTimer(tb));
    EXPECT_EQ(bridgeLog, (std::vector<std::string>{"install 40", "deinstall"}));
}

TEST_F(EventTimerManagerTest, KillAcceptsOnlyLiveHandlesOfTheSameTarget)
{
    EventTarget a, b;
    HEventTimer ta = a.setEventTimer(40, 0);
    HEventTimer keep = a.setEventTimer(40, 0);
    EXPECT_FALSE(a.killEventTimer(nullptr));
    EXPECT_FALSE(b.killEventTimer(ta)); // another target's handle
    EXPECT_TRUE(manager.isLive(ta));
    EXPECT_TRUE(a.killEventTimer(ta));
    // Stale: freed already; never read.
    EXPECT_FALSE(a.killEventTimer(ta));
    DETAIL::EventTimerSubscription foreign;
    foreign.target = &a;
    EXPECT_FALSE(a.killEventTimer(&foreign));
    EXPECT_TRUE(manager.isLive(keep));
}

TEST_F(EventTimerManagerTest, KillingOwnTimerInsideTheTickEndsItAndStopsThePlatformTimer)
{
    Ticker once("once", log);
    once.onTick = [&](HEventTimer timer) {
        EXPECT_TRUE(once.killEventTimer(timer));
        EXPECT_FALSE(once.killEventTimer(timer)); // already killed
        EXPECT_EQ(bridgeLog.size(), 1u); // still delivering: not freed yet
    };
    HEventTimer timer = once.setEventTimer(40, 0);
    EXPECT_EQ(run(3), (std::vector<std::string>{"once 40", "", ""}));
    EXPECT_FALSE(manager.isLive(timer));
    EXPECT_EQ(bridgeLog, (std::vector<std::string>{"install 40", "deinstall"}));
}

TEST_F(EventTimerManagerTest, KillingAnotherRecordDuringTheTickFreesItAtOnce)
{
    Ticker first("first", log), second("second", log);
    HEventTimer secondTimer = second.setEventTimer(40, 0);
    first.onTick = [&](HEventTimer) {
        if (secondTimer != nullptr) {
            EXPECT_TRUE(second.killEventTimer(secondTimer));
            secondTimer = nullptr;
        }
    };
    first.setEventTimer(40, 10);
    EXPECT_EQ(run(2), (std::vector<std::string>{"first 40", "first 40"}));
}

TEST_F(EventTimerManagerTest, RecordsMadeDuringATickJoinThePassOnlyBehindTheCurrentRecord)
{
    Ticker maker("maker", log), behind("behind", log), before("before", log);
    bool made = false;
    maker.onTick = [&](HEventTimer) {
        if (made)
            return;
        made = true;
        behind.setEventTimer(40, 0); // lower priority: behind the maker
        before.setEventTimer(40, 9); // higher priority: before the maker
    };
    maker.setEventTimer(40, 5);
    EXPECT_EQ(run(2), (std::vector<std::string>{"maker 40, behind 40", "before 40, maker 40, behind 40"}));
}

TEST_F(EventTimerManagerTest, NestedTickDuringADeliveryKeepsAKilledRecordUntilBothPassesLeave)
{
    Ticker nester("nester", log);
    int depth = 0;
    nester.onTick = [&](HEventTimer timer) {
        if (depth++ == 0) {
            manager.notifySubscribers(); // a nested loop that ticks again
            EXPECT_TRUE(manager.isLive(timer));
            EXPECT_TRUE(nester.killEventTimer(timer));
        }
    };
    nester.setEventTimer(40, 0);
    EXPECT_EQ(run(2), (std::vector<std::string>{"nester 40, nester 40", ""}));
    EXPECT_EQ(bridgeLog.back(), "deinstall");
}

TEST_F(EventTimerManagerTest, MasterPeriodIsLockedWhileSubscriptionsExist)
{
    EventTarget target;
    manager.setMasterTimerTimeout(0);
    EXPECT_EQ(manager.getMasterTimerTimeout(), 40u);
    HEventTimer timer = target.setEventTimer(100, 0);
    manager.setMasterTimerTimeout(20);
    EXPECT_EQ(manager.getMasterTimerTimeout(), 40u);
    target.killEventTimer(timer);
    manager.setMasterTimerTimeout(20);
    EXPECT_EQ(manager.getMasterTimerTimeout(), 20u);
    target.setEventTimer(30, 0);
    EXPECT_EQ(bridgeLog.back(), "install 20");
}

TEST_F(EventTimerManagerTest, DestructionStopsTheTimerAndClearsTheSingletonWithoutTellingTargets)
{
    std::vector<std::string> localBridge;
    Ticker target("target", log);
    {
        EventTimerManager local([&](EventTimerManager& m) { return std::make_unique<FakeBridge>(m, localBridge); });
        EXPECT_EQ(EventTimerManager::getSingleton(), &local);
        target.setEventTimer(40, 0);
        target.setEventTimer(80, 0);
    }
    EXPECT_EQ(localBridge, (std::vector<std::string>{"install 40", "deinstall"}));
    EXPECT_EQ(EventTimerManager::getSingleton(), nullptr);
    EXPECT_TRUE(log.empty());
    // Without a manager nothing can be subscribed or killed.
    EXPECT_EQ(target.setEventTimer(40, 0), nullptr);
    EXPECT_FALSE(target.killEventTimer(target.lastTimer));
}

} // namespace
