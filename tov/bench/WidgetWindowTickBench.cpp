// The widget window's timer tick (widget timers, alignment, collecting the
// invalid region, painting it into the canvas) on a headless desktop, in a
// 627 x 335 window: with nothing invalid, for a tree the size of the
// updater's wizard and one of 1,000 widgets; with one styled button
// invalid, beside the whole window invalid. "painted" counts the widgets
// painted per tick.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "../tests/StagedBundle.h"
#include "../tests/WidgetWindowFixture.h"
#include "BoxWidget.h"
#include "FEN/AppModule.h"
#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/Button.h"
#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleSheet.h"
#include "TOV/Window.h"
#include "platform/headless/TestDriver.h"

namespace {

using namespace CV;
using namespace CV::TOV;
using CV::TOV::BENCH::Box;

// Counts its paints.
class CountingBox : public Box {
public:
    CountingBox(eWidgetAlignment direction, int& paints)
        : Box(direction)
        , m_paints(paints)
    {
    }
    void onPaint(PaintContext& context) override
    {
        ++m_paints;
        Box::onPaint(context);
    }

private:
    int& m_paints;
};

char const* const kSheet = R"(
Button { width: 80; height: 24; background-color: #D0D0D0; background-border-color: #808080;
         foreground-color: #101010; horizontal-alignment: center; }
)";

// The library, an application and a 627 x 335 widget window holding rows
// of ten boxes (1 + rows * 11 widgets), on a fresh headless desktop in
// virtual time.
class TickFixture {
public:
    explicit TickFixture(int rows)
    {
        m_bLibrary = Lib::init();
        m_application = new FEN::Application;
        FEN::TEST::TestModule::instance().attachApplication(m_application);
        m_sheet = std::make_unique<StyleSheet>(*Lib::s_managerContainer);
        m_sheet->createDirect(kSheet);
        m_window = std::make_unique<TOV::Window<FEN::StandaloneWindow>>();
        m_window->setStyleSheet(m_sheet.get());
        m_root = std::make_shared<CountingBox>(eAlignTopToBottom, paints);
        for (int i = 0; i < rows; ++i) {
            auto row = std::make_shared<CountingBox>(eAlignLeftToRight, paints);
            row->setMinSize({0, 24});
            m_root->insertChildWidget(row, "row" + std::to_string(i));
            for (int j = 0; j < 10; ++j) {
                auto leaf = std::make_shared<CountingBox>(eAlignTopToBottom, paints);
                leaf->setMinSize({40, 20});
                row->insertChildWidget(leaf, "leaf" + std::to_string(j));
            }
        }
        m_window->setRoot(m_root, "root");
        m_bCreated = m_window->create(TEST::windowData(627, 335));
    }
    ~TickFixture()
    {
        m_window->destroy();
        m_window.reset();
        m_root.reset();
        m_sheet.reset();
        FEN::TEST::TestModule::instance().destroyApplication();
        if (m_bLibrary)
            Lib::deInit();
    }
    bool ready() const { return m_bLibrary && m_bCreated; }
    Widget& root() { return *m_root; }
    void tick()
    {
        FEN::TimerEventData data;
        m_window->onEvent(FEN::eTimerEvent::TimerTick, &data);
    }

    int paints = 0;

private:
    platform::headless::TestDriver m_driver;
    TEST::StagedBundle m_bundle; // the default font
    bool m_bLibrary = false;
    bool m_bCreated = false;
    FEN::Application* m_application = nullptr;
    std::unique_ptr<StyleSheet> m_sheet;
    std::shared_ptr<CountingBox> m_root;
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
    fixture.paints = 0;
    for (auto _ : state)
        fixture.tick();
    state.counters["widgets"] = 1 + rows * 11;
    state.counters["painted"] = benchmark::Counter(fixture.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_IdleTick)->Arg(3)->Arg(91)->Unit(benchmark::kNanosecond);

// A button in the first row, styled, with its text in the default font.
std::shared_ptr<Button> addButton(Widget& root)
{
    auto button = std::make_shared<Button>();
    root.getChildren().front()->insertChildWidget(button, "button");
    button->style("UPDATE", nullptr);
    return button;
}

// One invalid button (range 1), or the whole window (range 0), repainted
// by a tick.
void BM_InvalidTick(benchmark::State& state)
{
    TickFixture fixture(3);
    if (!fixture.ready()) {
        state.SkipWithError("the widget window could not be made");
        return;
    }
    std::shared_ptr<Button> const button = addButton(fixture.root());
    Widget& invalid = state.range(0) ? static_cast<Widget&>(*button) : fixture.root();
    fixture.tick();
    fixture.paints = 0;
    for (auto _ : state) {
        invalid.setInvalid(0);
        fixture.tick();
    }
    state.counters["painted"] = benchmark::Counter(fixture.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_InvalidTick)->ArgName("button")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
