#include "fen/ipp/IppProcessor.h"

#include "platform/cpu/Cpuid.h"

#include <cstring>
#include <x86intrin.h>

namespace {

bool bit(uint32_t word, int n)
{
    return ((word >> n) & 1u) != 0;
}

platform::CpuidRegisters leaf1()
{
    return platform::cpuid(1, 0);
}

// x87 control word fields.
constexpr uint16_t kCwExceptions = 0x3F;
constexpr uint16_t kCwPrecisionShift = 8;
constexpr uint16_t kCwRoundingShift = 10;
constexpr uint16_t kCwInfinity = 0x1000;

uint32_t portableFromControlWord(uint16_t cw)
{
    uint32_t value = cw & kCwExceptions;
    value |= static_cast<uint32_t>((cw >> kCwRoundingShift) & 3) << 8;
    switch ((cw >> kCwPrecisionShift) & 3) {
    case 0: value |= kFpuPrecision24; break;
    case 2: value |= kFpuPrecision53; break;
    default: value |= kFpuPrecision64; break;
    }
    if (cw & kCwInfinity)
        value |= kFpuInfinityAffine;
    return value;
}

uint16_t controlWordFromPortable(uint32_t value, uint16_t cw)
{
    cw = static_cast<uint16_t>((cw & ~kCwExceptions) | (value & kFpuExceptions));
    cw = static_cast<uint16_t>((cw & ~(3u << kCwRoundingShift)) | (((value & kFpuRoundMask) >> 8) << kCwRoundingShift));
    uint16_t precision = 3;
    if ((value & kFpuPrecisionMask) == kFpuPrecision24)
        precision = 0;
    else if ((value & kFpuPrecisionMask) == kFpuPrecision53)
        precision = 2;
    cw = static_cast<uint16_t>((cw & ~(3u << kCwPrecisionShift)) | (precision << kCwPrecisionShift));
    cw = static_cast<uint16_t>((value & kFpuInfinityAffine) ? (cw | kCwInfinity) : (cw & ~kCwInfinity));
    return cw;
}

} // namespace

int32_t ipp_has_rdtsc()
{
    return bit(leaf1().edx, 4);
}
int32_t ipp_is_mmx_extension()
{
    return bit(leaf1().edx, 23);
}
int32_t ipp_is_ssx_extension()
{
    return bit(leaf1().edx, 25);
}
int32_t ipp_is_wni_extension()
{
    return bit(leaf1().edx, 26);
}
int32_t ipp_is_pni_extension()
{
    return bit(leaf1().ecx, 0);
}
int32_t ipp_is_mni_extension()
{
    return bit(leaf1().ecx, 9);
}
int32_t ipp_is_sse41_extension()
{
    return bit(leaf1().ecx, 19);
}
int32_t ipp_is_sse42_extension()
{
    return bit(leaf1().ecx, 20);
}
int32_t ipp_is_movbe()
{
    return bit(leaf1().ecx, 22);
}

int32_t ipp_is_htt_extension()
{
    const platform::CpuidRegisters r = leaf1();
    return bit(r.edx, 28) && ((r.ebx >> 16) & 0xFF) > 1;
}

int32_t ipp_is_em64t_extension()
{
    if (platform::cpuid(0x80000000u, 0).eax < 0x80000001u)
        return 0;
    return bit(platform::cpuid(0x80000001u, 0).edx, 29);
}

int32_t ipp_get_cores_on_die()
{
    if (platform::cpuid(0, 0).eax < 4)
        return 1;
    return static_cast<int32_t>((platform::cpuid(4, 0).eax >> 26) & 0x3F) + 1;
}

void ipp_get_pentium_ident(IppProcessorIdent* pIdent)
{
    if (!pIdent)
        return;
    const platform::CpuidRegisters r = leaf1();
    IppProcessorIdent& id = *pIdent;
    id.stepping = static_cast<int32_t>(r.eax & 0xF);
    id.model = static_cast<int32_t>((r.eax >> 4) & 0xF);
    id.family = static_cast<int32_t>((r.eax >> 8) & 0xF);
    id.processorType = static_cast<int32_t>((r.eax >> 12) & 0x3);
    id.extendedModel = static_cast<int32_t>((r.eax >> 16) & 0xF);
    id.extendedFamily = static_cast<int32_t>((r.eax >> 20) & 0xFF);
    id.leaf1Edx = r.edx;
    id.hasSse3 = bit(r.ecx, 0);
    id.hasSsse3 = bit(r.ecx, 9);
    id.hasSse41 = bit(r.ecx, 19);
    id.hasSse42 = bit(r.ecx, 20);
    id.hasMovbe = bit(r.ecx, 22);
    id.hasAvx = bit(r.ecx, 28);
    id.hasOsxsave = bit(r.ecx, 27);
    id.hasMmx = bit(r.edx, 23);
    id.hasSse = bit(r.edx, 25);
    id.hasSse2 = bit(r.edx, 26);
    id.hasHyperThreading = ipp_is_htt_extension();
    id.has64Bit = ipp_is_em64t_extension();
    id.coresOnDie = ipp_get_cores_on_die();
    const platform::CpuidRegisters leaf2 =
        platform::cpuid(0, 0).eax >= 2 ? platform::cpuid(2, 0) : platform::CpuidRegisters{};
    id.leaf2Eax = leaf2.eax;
    id.leaf2Edx = leaf2.edx;
}

uint64_t ipp_get_pentium_counter()
{
    return __rdtsc();
}

uint64_t ippStartTsc()
{
    platform::hardwareCpuid(0, 0); // serialise: earlier work finishes first
    return __rdtsc();
}

uint64_t ippStopTsc()
{
    const uint64_t counter = __rdtsc();
    platform::hardwareCpuid(0, 0);
    return counter;
}

uint64_t ippStartTscp()
{
    platform::hardwareCpuid(0, 0);
    unsigned int aux = 0;
    return __rdtscp(&aux);
}

uint64_t ippStopTscp()
{
    unsigned int aux = 0;
    const uint64_t counter = __rdtscp(&aux);
    platform::hardwareCpuid(0, 0);
    return counter;
}

uint32_t ps_get_ssx()
{
    return _mm_getcsr();
}

void ipp_set_cw_ssx(uint32_t value)
{
    _mm_setcsr(value);
}

uint32_t ipp_clear_ssx()
{
    const uint32_t old = _mm_getcsr();
    _mm_setcsr(0x1F80);
    return old;
}

uint32_t ps_set_ssx(uint32_t bits, uint32_t mask)
{
    const uint32_t old = _mm_getcsr();
    _mm_setcsr((old & ~mask) | (bits & mask));
    return old;
}

void ipp_set_rc_ssx(uint32_t roundingControl)
{
    const uint32_t old = _mm_getcsr();
    const uint32_t wanted = (old & ~0x6000u) | (roundingControl & 0x6000u);
    if (wanted != old)
        _mm_setcsr(wanted);
}

int32_t ipp_tst_daz_ssx()
{
    alignas(16) unsigned char area[512];
    std::memset(area, 0, sizeof(area));
    __builtin_ia32_fxsave64(area);
    uint32_t mxcsrMask = 0;
    std::memcpy(&mxcsrMask, area + 28, sizeof(mxcsrMask));
    return bit(mxcsrMask, 6);
}

uint16_t ps_get_cw_fpu()
{
    uint16_t cw = 0;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void ipp_set_cw_fpu(uint16_t value)
{
    __asm__ volatile("fldcw %0" : : "m"(value));
}

uint16_t ps_set_cw_fpu(uint16_t bits, uint16_t mask)
{
    const uint16_t old = ps_get_cw_fpu();
    ipp_set_cw_fpu(static_cast<uint16_t>((old & ~mask) | (bits & mask)));
    return old;
}

uint16_t ps_get_sw_fpu()
{
    uint16_t sw = 0;
    __asm__ volatile("fnstsw %0" : "=m"(sw));
    return sw;
}

uint16_t ps_clear_fpu()
{
    const uint16_t sw = ps_get_sw_fpu();
    __asm__ volatile("fnclex");
    return sw;
}

void ipp_set_rcpc_fpu(uint16_t bits, uint16_t mask)
{
    const uint16_t fields = static_cast<uint16_t>(mask & 0x0F00); // rounding and precision
    const uint16_t old = ps_get_cw_fpu();
    const uint16_t wanted = static_cast<uint16_t>((old & ~fields) | (bits & fields));
    if (wanted != old)
        ipp_set_cw_fpu(wanted);
}

uint32_t ipp_control87(uint32_t newValue, uint32_t mask)
{
    const uint16_t cw = ps_get_cw_fpu();
    const uint32_t current = portableFromControlWord(cw);
    const uint32_t wanted = (current & ~mask) | (newValue & mask);
    if (wanted != current)
        ipp_set_cw_fpu(controlWordFromPortable(wanted, cw));
    return portableFromControlWord(ps_get_cw_fpu());
}

uint32_t ipp_status87()
{
    return ps_get_sw_fpu() & kFpuExceptions;
}

uint32_t ipp_clear87()
{
    return ps_clear_fpu() & kFpuExceptions;
}

int32_t ipp_isnan(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return (bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull && (bits & 0x000FFFFFFFFFFFFFull) != 0;
}

int32_t ipp_finite(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return (bits & 0x7FF0000000000000ull) != 0x7FF0000000000000ull;
}
