// A tree of 1,000 widgets in a pane: containers of ten children stacked
// along alternating axes. Re-aligned after a size change; styled from a
// sheet of 200 rules and laid out (with the sheet's per-widget rule lists
// kept, and made anew); painted into a canvas.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BAS/Region.h"
#include "BoxWidget.h"
#include "TOV/BackgroundDrawingCanvas.h"
#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/PaintContext.h"
#include "TOV/Pane.h"
#include "TOV/StyleSheet.h"
#include "TOV/Widget.h"

namespace {

using namespace CV;
using namespace CV::TOV;
using CV::TOV::BENCH::Box;

// 1 + 9 + 90 + 900 widgets: three levels of containers of ten (nine at the
// top) children each.
// Leaves carry one of ten style names and, every third, an attribute.
std::shared_ptr<Box> makeTree()
{
    auto root = std::make_shared<Box>(eAlignTopToBottom);
    for (int i = 0; i < 9; ++i) {
        auto row = std::make_shared<Box>(eAlignLeftToRight);
        root->insertChildWidget(row, "row" + std::to_string(i));
        for (int j = 0; j < 10; ++j) {
            auto cell = std::make_shared<Box>(eAlignTopToBottom);
            row->insertChildWidget(cell, "cell");
            cell->setStyle(j % 2 ? "odd" : "even");
            for (int k = 0; k < 10; ++k) {
                auto leaf = std::make_shared<Box>(eAlignTopToBottom);
                leaf->setMinSize({4, 2});
                leaf->setMargin({1, 1, 1, 1});
                leaf->setStyle(("s" + std::to_string(k)).c_str());
                if ((i + j + k) % 3 == 0)
                    leaf->setAttribute("mode", k % 2 ? "warn" : "calm");
                cell->insertChildWidget(leaf, "leaf" + std::to_string(k));
            }
        }
    }
    return root;
}

// 200 rules over classes, styles, ids, attributes, states and ancestors,
// setting sizes, margins, colours and alignments.
std::string makeSheet()
{
    std::string text;
    for (int i = 0; i < 200; ++i) {
        std::string const n = std::to_string(i % 10);
        switch (i % 8) {
        case 0: text += "Box.s" + n + " { min-height: " + std::to_string(2 + i % 5) + "; }\n"; break;
        case 1: text += "Box.s" + n + ":over { background-color: #" + std::to_string(100000 + i) + "; }\n"; break;
        case 2: text += "Box.odd Box.s" + n + " { margin: 1; foreground-color: #223344; }\n"; break;
        case 3: text += "Box[mode=warn] { background-color: #FF0000; dye-color: no; }\n"; break;
        case 4: text += "*#row" + n + " Box.s" + n + " { horizontal-alignment: right; }\n"; break;
        case 5: text += "Box::Box.s" + n + ":!enabled { foreground-color: #808080; }\n"; break;
        case 6: text += "Box.even { outer-margin-left: 1; background-border-color: #101010; }\n"; break;
        default:
            text += "*#leaf" + n + " { vertical-alignment: top; max-width: " + std::to_string(40 + i) + "; }\n";
            break;
        }
    }
    return text;
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

// The library's resource manager and a pane governed by the 200 rules.
struct StyledPane {
    StyledPane()
    {
        Lib::s_managerContainer = std::make_unique<ManagerContainer>();
        sheet = std::make_unique<StyleSheet>(*Lib::s_managerContainer);
        sheet->createDirect(makeSheet());
        pane = std::make_unique<Pane>();
        pane->setStyleSheet(sheet.get());
        pane->setSize({627, 335});
        root = makeTree();
        pane->setRoot(root, "root");
        BAS::Region invalid;
        pane->update(invalid);
        invalid.clear();
    }
    ~StyledPane()
    {
        root.reset();
        pane.reset();
        sheet.reset();
        Lib::s_managerContainer.reset();
    }

    std::unique_ptr<StyleSheet> sheet;
    std::unique_ptr<Pane> pane;
    std::shared_ptr<Box> root;
};

// Every widget reads its style (the drawing cache and the base properties)
// and the tree is aligned again.
void BM_StyleAndLayoutTree(benchmark::State& state)
{
    RegionPool pool;
    bool const coldRuleLists = state.range(0) != 0;
    {
        StyledPane styled;
        BAS::Region invalid;
        for (auto _ : state) {
            if (coldRuleLists)
                styled.root->removeFromCache();
            styled.root->setStyleSheetChanged();
            styled.pane->update(invalid);
            invalid.clear();
        }
        state.counters["widgets"] = 1000;
    }
}
BENCHMARK(BM_StyleAndLayoutTree)->Arg(0)->Arg(1)->ArgName("cold")->Unit(benchmark::kMicrosecond);

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
