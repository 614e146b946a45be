#include "platform/cpu/Cpuid.h"

#include <atomic>
#include <cpuid.h>

namespace platform {

namespace {
std::atomic<CpuidFunction> s_cpuid{&hardwareCpuid};
std::atomic<XgetbvFunction> s_xgetbv{&hardwareXgetbv};
} // namespace

CpuidRegisters hardwareCpuid(uint32_t leaf, uint32_t subleaf)
{
    CpuidRegisters r;
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

uint64_t hardwareXgetbv(uint32_t xcr)
{
    const CpuidRegisters leaf1 = hardwareCpuid(1, 0);
    if ((leaf1.ecx & (1u << 27)) == 0)
        return 0;
    uint32_t lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(xcr));
    return (static_cast<uint64_t>(hi) << 32) | lo;
}

CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf)
{
    return s_cpuid.load(std::memory_order_acquire)(leaf, subleaf);
}

uint64_t xgetbv(uint32_t xcr)
{
    return s_xgetbv.load(std::memory_order_acquire)(xcr);
}

CpuidFunction setCpuidFunction(CpuidFunction function)
{
    return s_cpuid.exchange(function ? function : &hardwareCpuid, std::memory_order_acq_rel);
}

XgetbvFunction setXgetbvFunction(XgetbvFunction function)
{
    return s_xgetbv.exchange(function ? function : &hardwareXgetbv, std::memory_order_acq_rel);
}

} // namespace platform
