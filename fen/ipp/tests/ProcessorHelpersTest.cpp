#include "fen/ipp/IppProcessor.h"

#include "platform/cpu/Cpuid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

platform::CpuidRegisters scriptedCpuid(uint32_t leaf, uint32_t)
{
    switch (leaf) {
    case 0: return {4, 0, 0, 0};
    case 1: return {0x000306C3u, 0x00040800u, (1u << 0) | (1u << 20), (1u << 4) | (1u << 26) | (1u << 28)};
    case 4: return {0x0C000121u, 0, 0, 0};
    case 0x80000000u: return {0x80000001u, 0, 0, 0};
    case 0x80000001u: return {0, 0, 0, 1u << 29};
    default: return {};
    }
}

TEST(ProcessorHelpers, IdentificationFlagsFromLeafWords)
{
    const platform::CpuidFunction previous = platform::setCpuidFunction(&scriptedCpuid);
    struct Flag {
        const char* name;
        int32_t (*query)();
        int32_t expected;
    };
    const Flag flags[] = {
        {"rdtsc", &ipp_has_rdtsc, 1},
        {"mmx", &ipp_is_mmx_extension, 0},
        {"sse2", &ipp_is_wni_extension, 1},
        {"sse3", &ipp_is_pni_extension, 1},
        {"ssse3", &ipp_is_mni_extension, 0},
        {"sse4.2", &ipp_is_sse42_extension, 1},
        {"hyper-threading", &ipp_is_htt_extension, 1},
        {"64-bit", &ipp_is_em64t_extension, 1},
        {"cores on die", &ipp_get_cores_on_die, 4},
    };
    for (const Flag& f : flags)
        EXPECT_EQ(f.query(), f.expected) << f.name;
    IppProcessorIdent ident{};
    ipp_get_pentium_ident(&ident);
    EXPECT_EQ(ident.family, 6);
    EXPECT_EQ(ident.model, 0xC);
    EXPECT_EQ(ident.extendedModel, 3);
    EXPECT_EQ(ident.stepping, 3);
    platform::setCpuidFunction(previous);
}

TEST(ProcessorHelpers, ControlWordsRoundTrip)
{
    const uint32_t savedSse = ps_get_ssx();
    ipp_set_rc_ssx(0x6000);
    EXPECT_EQ(ps_get_ssx() & 0x6000u, 0x6000u);
    EXPECT_EQ(ipp_clear_ssx() & 0x6000u, 0x6000u);
    EXPECT_EQ(ps_get_ssx(), 0x1F80u);
    ipp_set_cw_ssx(savedSse);

    const uint32_t saved87 = ipp_control87(0, 0);
    EXPECT_EQ(ipp_control87(kFpuRoundChop, kFpuRoundMask) & kFpuRoundMask, uint32_t(kFpuRoundChop));
    EXPECT_EQ((ps_get_cw_fpu() >> 10) & 3, 3);
    ipp_control87(saved87, ~0u);
    EXPECT_EQ(ipp_control87(0, 0), saved87);
}

TEST(ProcessorHelpers, DoubleClassification)
{
    struct Case {
        double value;
        int32_t nan;
        int32_t finite;
    };
    const Case cases[] = {
        {0.0, 0, 1},
        {-1.5, 0, 1},
        {std::numeric_limits<double>::denorm_min(), 0, 1},
        {std::numeric_limits<double>::infinity(), 0, 0},
        {-std::numeric_limits<double>::infinity(), 0, 0},
        {std::numeric_limits<double>::quiet_NaN(), 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ipp_isnan(c.value), c.nan) << c.value;
        EXPECT_EQ(ipp_finite(c.value), c.finite) << c.value;
    }
}

TEST(ProcessorHelpers, TimeStampCounterAdvances)
{
    const uint64_t start = ippStartTsc();
    const uint64_t stop = ippStopTsc();
    EXPECT_GE(stop, start);
}

} // namespace
