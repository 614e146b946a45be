// Aligning a tree of 1,000 widgets in a pane: containers of ten children
// stacked along alternating axes, the whole tree re-aligned after a size
// change, and the same tree painted into a canvas.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "BAS/Region.h"
#include "TOV/BackgroundDrawingCanvas.h"
#include "TOV/PaintContext.h"
#include "TOV/Pane.h"
#include "TOV/Widget.h"

namespace {

using namespace CV;
using namespace CV::TOV;

class Box : public Widget {
public:
    explicit Box(eWidgetAlignment direction)
        : m_direction(direction)
    {
    }
    cv::symbol getClass() const override
    {
        static cv::symbol const s_class(std::string("Box"));
        return s_class;
    }
    void onAlign() override { arrangeChilds(m_direction, 2); }
    void onPaint(PaintContext& context) override
    {
        context.drawFillRect({0, 0, getSize().x, getSize().y}, 0xFF303030u, 0xFF808080u);
    }

private:
    eWidgetAlignment m_direction;
};

// 1 + 9 + 90 + 900 widgets: three levels of containers of ten (nine at the
// top) children each.
std::shared_ptr<Box> makeTree()
{
    auto root = std::make_shared<Box>(eAlignTopToBottom);
    for (int i = 0; i < 9; ++i) {
        auto row = std::make_shared<Box>(eAlignLeftToRight);
        root->insertChildWidget(row, "row");
        for (int j = 0; j < 10; ++j) {
            auto cell = std::make_shared<Box>(eAlignTopToBottom);
            row->insertChildWidget(cell, "cell");
            for (int k = 0; k < 10; ++k) {
                auto leaf = std::make_shared<Box>(eAlignTopToBottom);
                leaf->setMinSize({4, 2});
                leaf->setMargin({1, 1, 1, 1});
                cell->insertChildWidget(leaf, "leaf");
            }
        }
    }
    return root;
}

struct RegionPool {
    RegionPool() { BAS::Region::init(); }
    ~RegionPool() { BAS::Region::deInit(); }
};

void BM_AlignTree(benchmark::State& state)
{
    RegionPool pool;
    {
        Pane pane;
        pane.setSize({627, 335});
        pane.setRoot(makeTree(), "root");
        BAS::Region invalid;
        pane.update(invalid);
        int width = 627;
        for (auto _ : state) {
            width = width == 627 ? 626 : 627;
            pane.setSize({width, 335});
            pane.update(invalid);
            invalid.clear();
        }
        state.counters["widgets"] = 1000;
    }
}
BENCHMARK(BM_AlignTree)->Unit(benchmark::kMicrosecond);

void BM_PaintTree(benchmark::State& state)
{
    RegionPool pool;
    {
        Pane pane;
        pane.setSize({627, 335});
        pane.setRoot(makeTree(), "root");
        BAS::Region invalid;
        pane.update(invalid);
        invalid.clear();
        BackgroundDrawingCanvas canvas;
        canvas.onSize({627, 335});
        BAS::Region whole;
        for (auto _ : state)
            pane.paint(canvas, whole, Pane::ePaintAll);
    }
}
BENCHMARK(BM_PaintTree)->Unit(benchmark::kMicrosecond);

} // namespace
