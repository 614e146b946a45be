// Painting a 627 x 335 window of styled panels: a background, rows of cells
// with fills, borders, nine-patch pictures, dye masks and text, painted
// whole and in two invalid pieces.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BAS/MemoryStream.h"
#include "BAS/Region.h"
#include "FEN/DETAIL/FreeType.h"
#include "FEN/Font.h"
#include "FEN/Picture.h"
#include "TOV/BackgroundDrawingCanvas.h"
#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/PaintContext.h"
#include "TOV/Pane.h"
#include "TOV/PanelDrawer.h"
#include "TOV/StyleSheet.h"
#include "TOV/StyleSheetManager.h"
#include "TOV/Widget.h"

namespace {

using namespace CV;
using namespace CV::TOV;

class Panel : public Widget {
public:
    Panel(eWidgetAlignment direction, std::string text)
        : m_direction(direction)
        , m_text(std::move(text))
    {
    }
    cv::symbol getClass() const override
    {
        static cv::symbol const s_class(std::string("Panel"));
        return s_class;
    }
    void onAlign() override { arrangeChilds(m_direction, 4); }
    void onPaint(PaintContext& context) override
    {
        m_drawer.drawPanelItem(*this, context);
        if (!m_text.empty())
            m_drawer.drawTextItem(*this, m_text, context, eTextHorizontal);
    }

private:
    eWidgetAlignment m_direction;
    std::string m_text;
    PanelDrawer m_drawer;
};

char const* const kSheet = R"(
Panel { background-color: #202830; margin: 6; }
Panel.row { background-color: #303840; background-border-color: #505860; margin: 2; height: 30; }
Panel.cell { background-color: #F0F0F0; background-border-color: #A0A0A0; foreground-color: #101010;
             horizontal-alignment: center; width: 56; dye-color: #80FF8000; }
)";

struct Fixture {
    Fixture()
    {
        BAS::Region::init();
        Lib::s_managerContainer = std::make_unique<ManagerContainer>();
        sheet = std::make_unique<StyleSheet>(*Lib::s_managerContainer);
        sheet->createDirect(kSheet);
        pane = std::make_unique<Pane>();
        pane->setStyleSheet(sheet.get());
        pane->setSize({627, 335});
        auto root = std::make_shared<Panel>(eAlignTopToBottom, "");
        pane->setRoot(root, "root");
        for (int i = 0; i < 9; ++i) {
            auto row = std::make_shared<Panel>(eAlignLeftToRight, "");
            row->setStyle("row");
            root->insertChildWidget(row, "row");
            for (int j = 0; j < 10; ++j) {
                auto cell = std::make_shared<Panel>(eAlignLeftToRight, "Cell " + std::to_string(i * 10 + j));
                cell->setStyle("cell");
                row->insertChildWidget(cell, "cell");
                cells.push_back(cell);
            }
        }
        BAS::Region invalid;
        pane->update(invalid);
        invalid.clear();
        loadFont();
        addPictures();
        canvas.onSize({627, 335});
    }
    ~Fixture()
    {
        cells.clear();
        pane.reset();
        sheet.reset();
        Lib::s_managerContainer.reset();
        BAS::Region::deInit();
    }

    void loadFont()
    {
        std::ifstream in(VARANTO_DEFAULT_FONT, std::ios::binary);
        fontBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        BAS::MemoryStream stream;
        stream.init(BAS::IStorage::eAccessRead, fontBytes.data(), fontBytes.size());
        FEN::Font::CreateData data;
        data.name = "DejaVuSans.ttf";
        data.size = 11;
        data.engine = engine.get();
        font = std::make_unique<FEN::Font>(stream, data);
    }

    // A nine-patch background and a dye mask for every cell.
    void addPictures()
    {
        auto ninePatch = std::make_shared<FEN::Picture>();
        ninePatch->setSize(12, 12, true);
        ninePatch->setAlphaChannel(true);
        ninePatch->clear(0x80FFFFFFu);
        ninePatch->fillArea(3, 3, 6, 6, 0xFF8090A0u);
        ninePatch->setFixedLeft(3);
        ninePatch->setFixedRight(3);
        ninePatch->setFixedTop(3);
        ninePatch->setFixedBottom(3);
        ninePatch->setHorzResizable(true);
        ninePatch->setVertResizable(true);
        auto mask = std::make_shared<FEN::Picture>();
        mask->setSize(8, 8, true);
        mask->setAlphaChannel(true);
        mask->clear(0x40000000u);
        mask->setHorzResizable(true);
        mask->setVertResizable(true);
        for (auto const& cell : cells) {
            DrawingCache& cache = StyleSheetManager::get().getDrawingCache(*cell);
            cache.m_pDefaultFont = font.get();
            cache.m_pictures.emplace_back(StateSelector(), LazyPicture(std::shared_ptr<FEN::Picture const>(ninePatch)));
            cache.m_dyeMasks.emplace_back(StateSelector(), LazyPicture(std::shared_ptr<FEN::Picture const>(mask)));
        }
    }

    std::shared_ptr<FEN::DETAIL::FreeType> engine = FEN::DETAIL::FreeType::create();
    std::vector<uint8_t> fontBytes;
    std::unique_ptr<FEN::Font> font;
    std::unique_ptr<StyleSheet> sheet;
    std::unique_ptr<Pane> pane;
    std::vector<std::shared_ptr<Panel>> cells;
    BackgroundDrawingCanvas canvas;
};

void BM_PaintWindow(benchmark::State& state)
{
    Fixture f;
    BAS::Region whole;
    for (auto _ : state)
        f.pane->paint(f.canvas, whole, Pane::ePaintAll);
    state.counters["widgets"] = double(f.cells.size() + 10);
}
BENCHMARK(BM_PaintWindow)->Unit(benchmark::kMicrosecond);

void BM_PaintTwoPieces(benchmark::State& state)
{
    Fixture f;
    BAS::Region pieces;
    pieces.addFast({0, 40, 627, 80});
    pieces.addFast({200, 150, 400, 300});
    for (auto _ : state)
        f.pane->paint(f.canvas, pieces, Pane::ePaintAll);
    pieces.clear();
}
BENCHMARK(BM_PaintTwoPieces)->Unit(benchmark::kMicrosecond);

} // namespace
