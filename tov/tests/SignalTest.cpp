#include "TOV/Signal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TOV/DesignWidget.h"
#include "TOV/Pane.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

TEST(SignalTest, SlotsRunInConnectionOrderWithTheArguments)
{
    Signal<void(int, std::string const&)> signal;
    std::vector<std::string> log;
    signal.connect([&](int n, std::string const& s) { log.push_back("a" + std::to_string(n) + s); });
    signal.connect([&](int n, std::string const& s) { log.push_back("b" + std::to_string(n) + s); });
    signal(1, "x");
    EXPECT_EQ(log, (std::vector<std::string>{"a1x", "b1x"}));
}

TEST(SignalTest, ChangesMadeDuringAnEmissionTakeEffectFromTheNext)
{
    Signal<void()> signal;
    std::vector<std::string> log;
    SignalConnection second;
    signal.connect([&] {
        log.push_back("first");
        second.disconnect(); // still called by this emission
        signal.connect([&] { log.push_back("new"); }); // first called by the next
    });
    second = signal.connect([&] { log.push_back("second"); });
    signal();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    EXPECT_FALSE(second.connected());
    log.clear();
    signal();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "new"}));
}

TEST(SignalTest, ASlotMayDestroyTheSignalAndConnectionsOutliveIt)
{
    auto signal = std::make_unique<Signal<void()>>();
    int calls = 0;
    signal->connect([&] {
        signal.reset();
        ++calls;
    });
    SignalConnection later = signal->connect([&] { ++calls; });
    (*signal)();
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(later.connected());
    later.disconnect(); // the signal is gone: nothing happens
}

TEST(SignalTest, ConnectsAndEmitsFromSeveralThreads)
{
    Signal<void()> signal;
    std::atomic<int> calls{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                SignalConnection c = signal.connect([&] { ++calls; });
                signal();
                c.disconnect();
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_GE(calls.load(), 800);
    EXPECT_EQ(signal.slotCount(), 0u);
}

TEST(DesignWidgetTest, PanesAreListedWhileTheyLive)
{
    auto const before = DesignWidget::activePanes();
    auto first = std::make_unique<Pane>();
    auto second = std::make_unique<Pane>();
    Pane* const firstPane = first.get();
    first.reset();
    auto const& panes = DesignWidget::activePanes();
    ASSERT_EQ(panes.size(), before.size() + 1);
    EXPECT_EQ(panes.back(), second.get());
    EXPECT_EQ(std::count(panes.begin(), panes.end(), firstPane), 0);
    second.reset();
    EXPECT_EQ(DesignWidget::activePanes(), before);
}

class PaneOverlaySignalTest : public WidgetTest { };

TEST_F(PaneOverlaySignalTest, TellsWhenTheFirstOverlayArrivesAndTheLastLeaves)
{
    auto root = makeRootInPane({60, 40});
    std::vector<bool> log;
    pane->m_sigOverlays.connect([&](bool any) { log.push_back(any); });
    auto a = makeWidget(), b = makeWidget();
    root->insertChildWidget(a, "a");
    root->insertChildWidget(b, "b");
    pane->addOverlayWidget(a);
    pane->addOverlayWidget(b);
    pane->addOverlayWidget(a); // moved to the end, the list never empties
    EXPECT_EQ(log, (std::vector<bool>{true}));
    pane->removeOverlayWidget(*b);
    pane->removeOverlayWidget(*a);
    EXPECT_EQ(log, (std::vector<bool>{true, false}));
    pane->addOverlayWidget(makeWidget()); // an orphan still leaves on erase-all
    pane->eraseAllOverlayWidgets();
    EXPECT_TRUE(pane->getOverlays().empty());
    EXPECT_EQ(log, (std::vector<bool>{true, false, true, false}));
}

} // namespace
} // namespace CV::TOV::TEST
