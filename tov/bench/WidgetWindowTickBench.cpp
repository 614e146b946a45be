// The widget window's timer tick (widget timers, alignment, collecting the
// invalid region, painting it into the canvas) on a headless desktop, with
// nothing invalid: a tree the size of the updater's wizard, and one of
// 1,000 widgets.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "FEN/AppModule.h"
#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/Lib.h"
#include "TOV/Window.h"
#include "platform/headless/TestDriver.h"
#include "BoxWidget.h"

namespace {

using namespace CV;
using namespace CV::TOV;
using CV::TOV::BENCH::Box;

class BenchModule : public FEN::AppModule {
public:
    static BenchModule& instance()
    {
        static BenchModule s_module;
        return s_module;
    }
    bool init() override { return true; }
    void deInit(bool) override {}
};
bool const s_moduleMade = (BenchModule::instance(), true);

// Rows of ten leaves under one root: 1 + rows * 11 widgets.
std::shared_ptr<Box> makeTree(int rows)
{
    auto root = std::make_shared<Box>(eAlignTopToBottom);
    for (int i = 0; i < rows; ++i) {
        auto row = std::make_shared<Box>(eAlignLeftToRight);
        root->insertChildWidget(row, "row" + std::to_string(i));
        for (int j = 0; j < 10; ++j) {
            auto leaf = std::make_shared<Box>(eAlignTopToBottom);
            leaf->setMinSize({4, 2});
            row->insertChildWidget(leaf, "leaf" + std::to_string(j));
        }
    }
    return root;
}

// The library, an application and a 627 x 335 widget window holding the
// tree, on a fresh headless desktop in virtual time.
class TickFixture {
public:
    explicit TickFixture(int rows)
    {
        m_bLibrary = Lib::init();
        m_application = new FEN::Application;
        BenchModule::instance().attachApplication(m_application);
        m_window = std::make_unique<TOV::Window<FEN::StandaloneWindow>>();
        m_window->setRoot(makeTree(rows), "root");
        FEN::Window::CreateData data;
        data.flags = 0x1 | 0x2 | 0x4;
        data.style = 0x1;
        data.rect = {100, 100, 727, 435};
        m_bCreated = m_window->create(data);
    }
    ~TickFixture()
    {
        m_window->destroy();
        m_window.reset();
        BenchModule::instance().destroyApplication();
        if (m_bLibrary)
            Lib::deInit();
    }
    bool ready() const { return m_bLibrary && m_bCreated; }
    void tick()
    {
        FEN::TimerEventData data;
        m_window->onEvent(FEN::eTimerEvent::TimerTick, &data);
    }

private:
    platform::headless::TestDriver m_driver;
    bool m_bLibrary = false;
    bool m_bCreated = false;
    FEN::Application* m_application = nullptr;
    std::unique_ptr<TOV::Window<FEN::StandaloneWindow>> m_window;
};

void BM_IdleTick(benchmark::State& state)
{
    int const rows = int(state.range(0));
    TickFixture fixture(rows);
    if (!fixture.ready()) {
        state.SkipWithError("the widget window could not be made");
        return;
    }
    fixture.tick(); // what creation left invalid
    for (auto _ : state)
        fixture.tick();
    state.counters["widgets"] = 1 + rows * 11;
}
BENCHMARK(BM_IdleTick)->Arg(3)->Arg(91)->Unit(benchmark::kNanosecond);

} // namespace
