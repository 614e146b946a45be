#include "BAS/StringUtil.h"
#include "cv/symbol.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_CompareFileNamesNoCase(benchmark::State& state)
{
    const std::string a = "Firmware-\xC3\x84nderungen-2026.txt";
    const std::string b = "FIRMWARE-\xC3\xA4NDERUNGEN-2026.TXT";
    for (auto _ : state)
        benchmark::DoNotOptimize(CV::BAS::wstrcmpc(a.c_str(), b.c_str(), false));
}
BENCHMARK(BM_CompareFileNamesNoCase);

void BM_FindSubStringNoCase(benchmark::State& state)
{
    const std::string text = "/Volumes/Backup Disk/Users/someone/Documents/Keyboard Firmware/readme.TXT";
    for (auto _ : state)
        benchmark::DoNotOptimize(CV::BAS::StringUtil::findPosOfSubStringNoCase(text, "readme.txt", 0));
}
BENCHMARK(BM_FindSubStringNoCase);

void BM_InternExistingSymbol(benchmark::State& state)
{
    const std::string text = "background-color";
    cv::symbol first(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(cv::symbol(text));
}
BENCHMARK(BM_InternExistingSymbol);

} // namespace
