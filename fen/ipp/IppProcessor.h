#pragma once
// Processor helpers of the kernel module: identification flags, the
// time-stamp counter and the SSE and x87 control words. No kernel depends on
// them; they complete the module's interface.
#include <cstdint>

int32_t ipp_has_rdtsc();
int32_t ipp_is_mmx_extension();
int32_t ipp_is_ssx_extension();
int32_t ipp_is_wni_extension();
int32_t ipp_is_htt_extension();
int32_t ipp_is_pni_extension();
int32_t ipp_is_em64t_extension();
int32_t ipp_is_mni_extension();
int32_t ipp_is_sse41_extension();
int32_t ipp_is_sse42_extension();
int32_t ipp_is_movbe();
int32_t ipp_get_cores_on_die();

struct IppProcessorIdent {
    int32_t family;
    int32_t model;
    int32_t stepping;
    int32_t processorType;
    int32_t extendedModel;
    int32_t extendedFamily;
    uint32_t leaf1Edx;
    int32_t hasSse3, hasSsse3, hasSse41, hasSse42, hasMovbe, hasAvx, hasOsxsave;
    int32_t hasMmx, hasSse, hasSse2, hasHyperThreading, has64Bit;
    int32_t coresOnDie;
    uint32_t leaf2Eax;
    uint32_t leaf2Edx;
};
void ipp_get_pentium_ident(IppProcessorIdent* pIdent);

uint64_t ipp_get_pentium_counter();
uint64_t ippStartTsc();
uint64_t ippStopTsc();
uint64_t ippStartTscp();
uint64_t ippStopTscp();

// SSE control/status register.
uint32_t ipp_clear_ssx();
uint32_t ps_get_ssx();
uint32_t ps_set_ssx(uint32_t bits, uint32_t mask);
void ipp_set_cw_ssx(uint32_t value);
void ipp_set_rc_ssx(uint32_t roundingControl);
int32_t ipp_tst_daz_ssx();

// x87 control and status words.
uint16_t ps_get_cw_fpu();
uint16_t ps_set_cw_fpu(uint16_t bits, uint16_t mask);
void ipp_set_cw_fpu(uint16_t value);
uint16_t ps_get_sw_fpu();
uint16_t ps_clear_fpu();
void ipp_set_rcpc_fpu(uint16_t bits, uint16_t mask);

// Portable encoding of the x87 words used by ipp_control87, ipp_status87 and
// ipp_clear87: exception bits (masks in the control word, flags in the
// status word), rounding, precision and infinity control.
enum IppFpuControl : uint32_t {
    kFpuInvalid = 0x1,
    kFpuDenormal = 0x2,
    kFpuZeroDivide = 0x4,
    kFpuOverflow = 0x8,
    kFpuUnderflow = 0x10,
    kFpuInexact = 0x20,
    kFpuExceptions = 0x3F,
    kFpuRoundNear = 0x000,
    kFpuRoundDown = 0x100,
    kFpuRoundUp = 0x200,
    kFpuRoundChop = 0x300,
    kFpuRoundMask = 0x300,
    kFpuPrecision24 = 0x10000,
    kFpuPrecision53 = 0x20000,
    kFpuPrecision64 = 0x00000,
    kFpuPrecisionMask = 0x30000,
    kFpuInfinityAffine = 0x40000,
};
uint32_t ipp_control87(uint32_t newValue, uint32_t mask);
uint32_t ipp_status87();
uint32_t ipp_clear87();

int32_t ipp_isnan(double value);
int32_t ipp_finite(double value);
