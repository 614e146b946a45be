#include "BAS/SystemInfo.h"

#include "BAS/IA32.h"
#include "BAS/SystemInfo2.h"
#include "bas/linux/HostOperatingSystem.h"
#include "bas/linux/HostProcessorFacts.h"
#include "platform/cf/CFLocale.h"

namespace CV {
namespace BAS {

uint32_t SystemInfo::s_uNumberOfProcessingUnits = 1;
uint32_t SystemInfo::s_uNumberOfCores = 1;
uint32_t SystemInfo::s_uNumberOfPackages = 1;
uint32_t SystemInfo::s_uNumberOfCoresPerPackage = 1;
uint32_t SystemInfo::s_uNumberOfUnitsPerCore = 1;
uint32_t SystemInfo::s_uProcessorVendor = 0;
uint32_t SystemInfo::s_uProcessorType = 0;
uint32_t SystemInfo::s_uProcessorFamilyCode = 0;
uint32_t SystemInfo::s_uProcessorModelNumber = 0;
uint32_t SystemInfo::s_uProcessorRevision = 0;
uint32_t SystemInfo::s_eSIMDSupport = 0;
uint32_t SystemInfo::s_eProcessorFeatures = 0;
std::string SystemInfo::s_strProcessorName;
int32_t SystemInfo::s_eOSType = 0;
uint32_t SystemInfo::s_uMajorVersion = 0;
uint32_t SystemInfo::s_uMinorVersion = 0;
uint32_t SystemInfo::s_uMicroVersion = 0;
int32_t SystemInfo::s_eOSLanguage = 5;
int32_t SystemInfo::s_eOSLocale = 5;
std::string SystemInfo::s_strComputerName;

namespace {

constexpr int32_t kLanguageOther = 5;

// The host's own counts agree with each other: at least one package, no
// more packages than cores and no more cores than logical processors.
bool hostCountsAreConsistent()
{
    const auto packages = static_cast<uint32_t>(SystemInfo2::s_numProcessorPacks);
    const auto physical = static_cast<uint32_t>(SystemInfo2::s_numPhysicalCores);
    const auto logical = static_cast<uint32_t>(SystemInfo2::s_numLogicalCores);
    return packages > 0 && physical >= packages && logical >= physical;
}

void takeProcessorCounts(bool trusted)
{
    if (trusted) {
        SystemInfo::s_uNumberOfProcessingUnits = static_cast<uint32_t>(SystemInfo2::s_numLogicalCores);
        SystemInfo::s_uNumberOfCores = static_cast<uint32_t>(SystemInfo2::s_numPhysicalCores);
        return;
    }
    const LINUX::HostProcessorCounts host = LINUX::HostProcessorFacts::hostCounts();
    SystemInfo::s_uNumberOfProcessingUnits = host.logical;
    SystemInfo::s_uNumberOfCores = host.physical;
}

void identifyProcessor()
{
    IA32::getCPUCaps(SystemInfo::s_eSIMDSupport, SystemInfo::s_eProcessorFeatures,
                     SystemInfo::s_uNumberOfCoresPerPackage, SystemInfo::s_uNumberOfUnitsPerCore,
                     SystemInfo::s_uProcessorVendor, SystemInfo::s_uProcessorType, SystemInfo::s_uProcessorFamilyCode,
                     SystemInfo::s_uProcessorModelNumber, SystemInfo::s_uProcessorRevision,
                     SystemInfo::s_strProcessorName);
}

void derivePackageCounts(bool trusted)
{
    if (trusted) {
        SystemInfo::s_uNumberOfPackages = static_cast<uint32_t>(SystemInfo2::s_numProcessorPacks);
        SystemInfo::s_uNumberOfCoresPerPackage = SystemInfo::s_uNumberOfCores / SystemInfo::s_uNumberOfPackages;
        SystemInfo::s_uNumberOfUnitsPerCore = SystemInfo::s_uNumberOfProcessingUnits / SystemInfo::s_uNumberOfCores;
        // A host that names no model keeps the processor's own brand text.
        if (!SystemInfo2::s_processorName.empty())
            SystemInfo::s_strProcessorName = SystemInfo2::s_processorName;
        return;
    }
    // A virtual machine may offer fewer cores than its processor reports per
    // package; there is still one package.
    const uint32_t perPackage = SystemInfo::s_uNumberOfCoresPerPackage;
    const uint32_t packages = perPackage != 0 ? SystemInfo::s_uNumberOfCores / perPackage : 0;
    SystemInfo::s_uNumberOfPackages = packages != 0 ? packages : 1;
}

void takeOperatingSystem()
{
    SystemInfo::s_eOSType = 4;
    if (cv::commons::isNull(SystemInfo2::s_osVersion))
        SystemInfo2::retrieveOSInfo();
    SystemInfo::s_uMajorVersion = static_cast<uint32_t>(SystemInfo2::s_osVersion.majorPart);
    SystemInfo::s_uMinorVersion = static_cast<uint32_t>(SystemInfo2::s_osVersion.minorPart);
    SystemInfo::s_uMicroVersion = static_cast<uint32_t>(SystemInfo2::s_osVersion.patchPart);
}

int32_t languageCodeOfLocaleText(const char* localeText)
{
    if (localeText[0] == '\0' || localeText[1] == '\0')
        return kLanguageOther;
    struct Language {
        char first;
        char second;
        int32_t code;
    };
    static const Language languages[] = {
        {'e', 'n', 0}, {'f', 'r', 1}, {'d', 'e', 2}, {'j', 'a', 3}, {'e', 's', 4}, {'i', 't', 6},
    };
    for (const Language& l : languages)
        if (localeText[0] == l.first && localeText[1] == l.second)
            return l.code;
    return kLanguageOther;
}

// The first preferred language, when the list's first entry is a string.
int32_t preferredLanguageCode()
{
    int32_t code = kLanguageOther;
    CFArrayRef languages = CFLocaleCopyPreferredLanguages();
    if (languages != nullptr && CFArrayGetCount(languages) > 0) {
        CFTypeRef first = CFArrayGetValueAtIndex(languages, 0);
        if (first != nullptr && CFGetTypeID(first) == CFStringGetTypeID())
            code = convertMacLocaleToSystemLanguage(static_cast<CFStringRef>(first));
    }
    if (languages != nullptr)
        CFRelease(languages);
    return code;
}

int32_t currentLocaleCode()
{
    CFLocaleRef locale = CFLocaleCopyCurrent();
    const int32_t code = convertMacLocaleToSystemLanguage(CFLocaleGetIdentifier(locale));
    if (locale != nullptr)
        CFRelease(locale);
    return code;
}

} // namespace

int32_t convertMacLocaleToSystemLanguage(CFStringRef locale)
{
    char text[256] = {};
    if (locale == nullptr || !CFStringGetCString(locale, text, sizeof text, kCFStringEncodingMacRoman))
        return kLanguageOther;
    return languageCodeOfLocaleText(text);
}

bool SystemInfo::init()
{
    s_uProcessorRevision = 0;
    s_eSIMDSupport = 0;
    SystemInfo2::retrieveCPUInfo();
    const bool trusted = hostCountsAreConsistent();
    takeProcessorCounts(trusted);
    identifyProcessor();
    derivePackageCounts(trusted);
    takeOperatingSystem();
    s_eOSLanguage = preferredLanguageCode();
    s_eOSLocale = currentLocaleCode();
    s_strComputerName = LINUX::HostOperatingSystem::computerName();
    return true;
}

bool SystemInfo::deInit()
{
    return true;
}

} // namespace BAS
} // namespace CV
