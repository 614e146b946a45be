#pragma once
// Bundles: a folder laid out as Name.app/Contents/{MacOS,Resources,Info.plist}
// with localisations in Resources/<language>.lproj. The running program's
// bundle is the one whose Contents/MacOS folder holds its executable.
#include "platform/cf/CFArray.h"
#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFString.h"
#include "platform/cf/CFURL.h"

#include <string>
#include <vector>

typedef uint32_t UInt32;

namespace platform::cf {

class Bundle : public Object {
public:
    // path: the bundle folder (POSIX, without trailing '/').
    explicit Bundle(std::string path);
    ~Bundle() override;

    const std::string& path() const noexcept { return m_path; }
    std::string resourcesPath() const;
    CFDictionaryRef infoDictionary() const { return m_info; }
    // The names of the *.lproj folders without the suffix, sorted.
    std::vector<std::string> localizations() const;
    // The POSIX path of a resource file, or "" (see CFBundleCopyResourceURL).
    std::string findResource(const std::string& name, const std::string& type, const std::string& subDir) const;

    static const Bundle* fromRef(CFTypeRef ref) noexcept;

    // The bundle folder that holds an executable, or "" when the executable
    // does not lie in a bundle's Contents/MacOS folder.
    static std::string bundlePathForExecutable(const std::string& executablePath);
    // The running program's executable (/proc/self/exe).
    static std::string runningExecutablePath();
    // Orders available localisations by the preferred language tags: the
    // best match of the most preferred language that has one comes first
    // (matched by language code, ISO 639-2 code or English name, e.g. "de",
    // "DEU", "German"); with no match, the English one, else the first.
    static std::vector<std::string> preferredLocalizations(const std::vector<std::string>& available,
                                                           const std::vector<std::string>& preferredLanguages);

private:
    std::string m_path;
    CFDictionaryRef m_info;
};

} // namespace platform::cf

typedef const platform::cf::Bundle* CFBundleRef;

CFTypeID CFBundleGetTypeID();
// Null when the URL does not name an existing folder.
CFBundleRef CFBundleCreate(CFAllocatorRef alloc, CFURLRef bundleURL);
// The running program's bundle (not to be released), or null outside one.
CFBundleRef CFBundleGetMainBundle();
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
// Looks for Resources[/subDir]/name[.type], then in the preferred
// localisation's folder Resources/<loc>.lproj[/subDir]/name[.type]. Null
// when there is no such file.
CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName);
// The text of key in the bundle's string table tableName (null:
// "Localizable"), Resources/<loc>.lproj/<table>.strings with lines
// "key" = "value"; (\" \\ \n escapes, // comments). Not found: value, or key
// when value is null or empty. One reference for the caller.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value, CFStringRef tableName);
CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
CFArrayRef CFBundleCopyBundleLocalizations(CFBundleRef bundle);
// The localisations of locArray ordered by the user's preferred languages.
CFArrayRef CFBundleCopyPreferredLocalizationsFromArray(CFArrayRef locArray);
// Package type and creator codes from Contents/PkgInfo or the Info.plist
// keys CFBundlePackageType / CFBundleSignature; false for a folder that is
// not a bundle.
Boolean CFBundleGetPackageInfoInDirectory(CFURLRef url, UInt32* packageType, UInt32* packageCreator);
