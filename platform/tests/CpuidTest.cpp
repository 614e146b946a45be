#include "platform/cpu/Cpuid.h"

#include <gtest/gtest.h>

namespace {

platform::CpuidRegisters fakeCpuid(uint32_t leaf, uint32_t subleaf)
{
    return {leaf, subleaf, 0x1234u, 0x5678u};
}

TEST(Cpuid, ReplaceableAndRestorable)
{
    const auto vendor = platform::cpuid(0, 0);
    EXPECT_GE(vendor.eax, 1u) << "every 64-bit processor has leaf 1";

    auto previous = platform::setCpuidFunction(&fakeCpuid);
    const auto fake = platform::cpuid(7, 3);
    EXPECT_EQ(fake.eax, 7u);
    EXPECT_EQ(fake.ebx, 3u);
    EXPECT_EQ(fake.ecx, 0x1234u);

    platform::setCpuidFunction(previous);
    EXPECT_EQ(platform::cpuid(0, 0).ebx, vendor.ebx);
}

} // namespace
