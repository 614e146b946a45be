// Parsing speed of large generated style sheets from memory, clean and with
// a faulty line in every few rules; the range is the sheet size in MiB.
#include "TOV/StyleParser2.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using CV::TOV::StyleParser2;

// Rules of every kind of selector and value, with comments between them.
// With errors, every fourth rule holds a faulty declaration, selector,
// value or statement.
std::string makeSheet(std::size_t bytes, bool withErrors)
{
    static char const* const clean[] = {
        "Button.big#ok[kind=primary]:over:!down { background-color: #ff2040; margin: 4px; }\n",
        "Bar::Button Label { font-size: 12 px; font-name: dejavu; line-spacing: 1.5; }\n",
        "/* a comment that spans\n   two lines */\nPane *<Big> { image: url(\"button@2x.png\"); flag: true; }\n",
        "Label, MultilineLabel { color: rgba(10, 20, 30, 128); width: 50%; x: -3; }\n",
        "Widget.accent { dye-color: $accent; z-index: 3; } // note\n",
    };
    static char const* const faulty[] = {
        "Button { color 1; width: 3; }\n",     "Bar<x { y: 1; }\n",      "Label { image: url(a.png); height: 2; }\n",
        "; stray text on a line of its own\n", "Pane[k v] { x: 1 } }\n",
    };
    std::string sheet = "@define $accent rgb(200, 100, 50);\n";
    sheet.reserve(bytes + 256);
    std::size_t i = 0;
    while (sheet.size() < bytes) {
        if (withErrors && i % 4 == 3)
            sheet += faulty[(i / 4) % 5];
        else
            sheet += clean[i % 5];
        ++i;
    }
    return sheet;
}

void parseSheet(benchmark::State& state, bool withErrors)
{
    std::string const sheet = makeSheet(std::size_t(state.range(0)) << 20, withErrors);
    for (auto _ : state) {
        StyleParser2 parser;
        benchmark::DoNotOptimize(parser.processString(sheet));
        benchmark::DoNotOptimize(parser.getRules().size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sheet.size()));
}

void BM_ParseCleanSheet(benchmark::State& state)
{
    parseSheet(state, false);
}
void BM_ParseErrorHeavySheet(benchmark::State& state)
{
    parseSheet(state, true);
}

BENCHMARK(BM_ParseCleanSheet)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseErrorHeavySheet)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

} // namespace
