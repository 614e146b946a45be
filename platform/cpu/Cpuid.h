#pragma once
// Processor identification: the CPUID and XGETBV instructions behind one
// replaceable function each, so that feature detection can be tested with
// the words of any processor.
#include <cstdint>

namespace platform {

struct CpuidRegisters {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};

using CpuidFunction = CpuidRegisters (*)(uint32_t leaf, uint32_t subleaf);
using XgetbvFunction = uint64_t (*)(uint32_t xcr);

// Executes CPUID(leaf, subleaf) through the installed function.
CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf);
// Reads an extended control register through the installed function; 0 when
// the processor does not offer XGETBV (OSXSAVE clear).
uint64_t xgetbv(uint32_t xcr);

// Replace the instructions (tests). Passing nullptr restores the real ones.
// Returns the previous function.
CpuidFunction setCpuidFunction(CpuidFunction function);
XgetbvFunction setXgetbvFunction(XgetbvFunction function);

CpuidRegisters hardwareCpuid(uint32_t leaf, uint32_t subleaf);
uint64_t hardwareXgetbv(uint32_t xcr);

} // namespace platform
