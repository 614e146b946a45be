#pragma once
// A snapshot of processor and operating-system facts, taken by init.
#include "platform/cf/CFString.h"

#include <cstdint>
#include <string>

namespace CV {
namespace BAS {

class SystemInfo {
public:
    // Fills the facts; always true.
    static bool init();
    // Always true; the facts stay as they are.
    static bool deInit();

    static uint32_t s_uNumberOfProcessingUnits;
    static uint32_t s_uNumberOfCores;
    static uint32_t s_uNumberOfPackages;
    static uint32_t s_uNumberOfCoresPerPackage;
    static uint32_t s_uNumberOfUnitsPerCore;
    static uint32_t s_uProcessorVendor;
    static uint32_t s_uProcessorType;
    static uint32_t s_uProcessorFamilyCode;
    static uint32_t s_uProcessorModelNumber;
    static uint32_t s_uProcessorRevision;
    static uint32_t s_eSIMDSupport; // IA32::eSIMD_* bits
    static uint32_t s_eProcessorFeatures; // IA32::eFeature* bits
    static std::string s_strProcessorName;
    static int32_t s_eOSType;
    static uint32_t s_uMajorVersion;
    static uint32_t s_uMinorVersion;
    static uint32_t s_uMicroVersion;
    static int32_t s_eOSLanguage;
    static int32_t s_eOSLocale;
    static std::string s_strComputerName;

    SystemInfo() = delete;
};

// The language code of a locale text ("en_US", "fr-CA", ...): "en" 0,
// "fr" 1, "de" 2, "ja" 3, "es" 4, "it" 6, anything else (and null) 5,
// decided by the first two characters.
int32_t convertMacLocaleToSystemLanguage(CFStringRef locale);

} // namespace BAS
} // namespace CV
