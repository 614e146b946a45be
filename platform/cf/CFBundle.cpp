#include "platform/cf/CFBundle.h"

#include "platform/cf/CFLocale.h"
#include "platform/cf/PropertyList.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::cf {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The two-letter code of a language named by code, ISO 639-2 code or
// English name; the text itself (lower case) when it is none of these.
std::string languageCode(const std::string& language)
{
    static const std::vector<std::vector<const char*>> s_names = {
        {"en", "eng", "english"},      {"de", "deu", "ger", "german"}, {"fr", "fra", "fre", "french"},
        {"ja", "jpn", "japanese"},     {"es", "spa", "spanish"},       {"it", "ita", "italian"},
        {"nl", "nld", "dut", "dutch"}, {"pt", "por", "portuguese"},    {"sv", "swe", "swedish"},
        {"da", "dan", "danish"},       {"fi", "fin", "finnish"},       {"nb", "nob", "nor", "norwegian"},
        {"pl", "pol", "polish"},       {"ru", "rus", "russian"},       {"zh", "zho", "chi", "chinese"},
        {"ko", "kor", "korean"}};
    const std::string text = lowered(language);
    for (const auto& names : s_names)
        for (const char* name : names)
            if (text == name)
                return names.front();
    return text;
}

struct LanguageTag {
    std::string language;
    std::string region;
};

LanguageTag splitTag(const std::string& tag)
{
    const size_t separator = tag.find_first_of("-_");
    if (separator == std::string::npos)
        return LanguageTag{languageCode(tag), ""};
    return LanguageTag{languageCode(tag.substr(0, separator)), lowered(tag.substr(separator + 1))};
}

// 2: same language and region, 1: same language, 0: no match.
int matchScore(const LanguageTag& preferred, const std::string& localization)
{
    const LanguageTag available = splitTag(localization);
    if (available.language != preferred.language)
        return 0;
    return available.region == preferred.region ? 2 : 1;
}

std::string joinPath(const std::string& a, const std::string& b)
{
    if (b.empty())
        return a;
    return a + "/" + b;
}

UInt32 fourCharCode(const std::string& text)
{
    if (text.size() != 4)
        return 0;
    UInt32 code = 0;
    for (unsigned char c : text)
        code = (code << 8) | c;
    return code;
}

std::string stringValue(CFDictionaryRef dictionary, const char* key)
{
    CFStringRef keyString = String::createFromUTF8(key);
    const String* value = String::fromRef(CFDictionaryGetValue(dictionary, keyString));
    CFRelease(keyString);
    return value && value->typeId() == TypeId::String ? value->utf8() : std::string();
}

} // namespace

Bundle::Bundle(std::string path)
    : Object(TypeId::Bundle)
    , m_path(std::move(path))
    , m_info(Dictionary::fromRef(PropertyList::readXMLFile(m_path + "/Contents/Info.plist")))
{
    if (m_info == nullptr)
        m_info = new Dictionary();
}

Bundle::~Bundle()
{
    CFRelease(m_info);
}

std::string Bundle::resourcesPath() const
{
    return m_path + "/Contents/Resources";
}

std::vector<std::string> Bundle::localizations() const
{
    std::vector<std::string> names;
    DIR* dir = opendir(resourcesPath().c_str());
    if (dir == nullptr)
        return names;
    static const std::string suffix = ".lproj";
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            isDirectory(joinPath(resourcesPath(), name)))
            names.push_back(name.substr(0, name.size() - suffix.size()));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Bundle::findResource(const std::string& name, const std::string& type, const std::string& subDir) const
{
    if (name.empty())
        return std::string();
    const std::string fileName = type.empty() ? name : name + (type[0] == '.' ? "" : ".") + type;
    std::vector<std::string> folders = {joinPath(resourcesPath(), subDir)};
    const std::vector<std::string> preferred =
        preferredLocalizations(localizations(), Locale::preferredLanguages(Locale::Environment::current()));
    if (!preferred.empty())
        folders.push_back(joinPath(joinPath(resourcesPath(), preferred.front() + ".lproj"), subDir));
    for (const std::string& folder : folders) {
        const std::string candidate = joinPath(folder, fileName);
        if (isFile(candidate) || isDirectory(candidate))
            return candidate;
    }
    return std::string();
}

const Bundle* Bundle::fromRef(CFTypeRef ref) noexcept
{
    return Object::fromRefOfType<Bundle>(ref, TypeId::Bundle);
}

std::string Bundle::bundlePathForExecutable(const std::string& executablePath)
{
    static const std::string marker = "/Contents/MacOS/";
    const size_t at = executablePath.rfind(marker);
    if (at == std::string::npos || at == 0 || at + marker.size() == executablePath.size() ||
        executablePath.find('/', at + marker.size()) != std::string::npos)
        return std::string();
    return executablePath.substr(0, at);
}

std::string Bundle::runningExecutablePath()
{
    std::string path(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return std::string();
    path.resize(static_cast<size_t>(length));
    return path;
}

std::vector<std::string> Bundle::preferredLocalizations(const std::vector<std::string>& available,
                                                        const std::vector<std::string>& preferredLanguages)
{
    for (const std::string& language : preferredLanguages) {
        const LanguageTag tag = splitTag(language);
        const std::string* best = nullptr;
        int bestScore = 0;
        for (const std::string& localization : available) {
            const int score = matchScore(tag, localization);
            if (score > bestScore) {
                best = &localization;
                bestScore = score;
            }
        }
        if (best)
            return {*best};
    }
    for (const std::string& localization : available)
        if (splitTag(localization).language == "en")
            return {localization};
    if (!available.empty())
        return {available.front()};
    return {};
}

} // namespace platform::cf

using platform::cf::Bundle;
using platform::cf::String;

namespace {

std::string utf8Of(CFStringRef string)
{
    return string ? string->utf8() : std::string();
}

CFArrayRef arrayOfStrings(const std::vector<std::string>& texts)
{
    CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    for (const std::string& text : texts) {
        CFStringRef string = String::createFromUTF8(text);
        CFArrayAppendValue(array, string);
        CFRelease(string);
    }
    return array;
}

} // namespace

CFTypeID CFBundleGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::Bundle);
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL)
{
    if (bundleURL == nullptr)
        return nullptr;
    std::string path = bundleURL->posixPath();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return nullptr;
    return new Bundle(path);
}

CFBundleRef CFBundleGetMainBundle()
{
    static CFBundleRef s_main = []() -> CFBundleRef {
        const std::string path = Bundle::bundlePathForExecutable(Bundle::runningExecutablePath());
        return path.empty() ? nullptr : new Bundle(path);
    }();
    return s_main;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
{
    return bundle ? platform::cf::URL::createWithPosixPath(bundle->path(), true) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
{
    return bundle ? platform::cf::URL::createWithPosixPath(bundle->resourcesPath(), true) : nullptr;
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName)
{
    if (bundle == nullptr)
        return nullptr;
    const std::string path = bundle->findResource(utf8Of(resourceName), utf8Of(resourceType), utf8Of(subDirName));
    if (path.empty())
        return nullptr;
    struct stat info;
    const bool directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return platform::cf::URL::createWithPosixPath(path, directory);
}

namespace {

// A quoted text starting at text[at] (the opening quote); advances at past
// the closing quote. Empty optional when it is not closed.
std::optional<std::string> readQuoted(const std::string& text, std::size_t& at)
{
    std::string out;
    for (++at; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c == '\\' && at + 1 < text.size()) {
            const char next = text[++at];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

// The value of key in a strings file's text: "key" = "value"; entries.
std::optional<std::string> lookUpStrings(const std::string& text, const std::string& key)
{
    std::size_t at = 0;
    while ((at = text.find('"', at)) != std::string::npos) {
        const auto name = readQuoted(text, at);
        if (!name)
            return std::nullopt;
        const std::size_t equals = text.find_first_not_of(" \t\r\n", at);
        if (equals == std::string::npos || text[equals] != '=')
            continue;
        at = text.find('"', equals);
        if (at == std::string::npos)
            return std::nullopt;
        const auto value = readQuoted(text, at);
        if (!value)
            return std::nullopt;
        if (*name == key)
            return value;
    }
    return std::nullopt;
}

} // namespace

CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value, CFStringRef tableName)
{
    if (bundle != nullptr && key != nullptr) {
        const std::string table = tableName ? utf8Of(tableName) : std::string("Localizable");
        const std::string path = bundle->findResource(table, "strings", "");
        std::ifstream in(path, std::ios::binary);
        if (!path.empty() && in) {
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (const auto found = lookUpStrings(text, utf8Of(key)))
                return String::createFromUTF8(*found);
        }
    }
    CFStringRef fallback = (value != nullptr && CFStringGetLength(value) > 0) ? value : key;
    return fallback ? static_cast<CFStringRef>(CFRetain(fallback)) : String::createFromUTF8("");
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle)
{
    return bundle ? bundle->infoDictionary() : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
    return bundle ? CFDictionaryGetValue(bundle->infoDictionary(), key) : nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
    if (bundle == nullptr)
        return nullptr;
    CFStringRef key = String::createFromUTF8("CFBundleIdentifier");
    CFTypeRef value = CFDictionaryGetValue(bundle->infoDictionary(), key);
    CFRelease(key);
    return String::fromRef(value) && CFGetTypeID(value) == CFStringGetTypeID() ? String::fromRef(value) : nullptr;
}

CFArrayRef CFBundleCopyBundleLocalizations(CFBundleRef bundle)
{
    return bundle ? arrayOfStrings(bundle->localizations()) : nullptr;
}

CFArrayRef CFBundleCopyPreferredLocalizationsFromArray(CFArrayRef locArray)
{
    std::vector<std::string> available;
    for (CFIndex i = 0; i < CFArrayGetCount(locArray); ++i) {
        CFTypeRef value = CFArrayGetValueAtIndex(locArray, i);
        if (CFGetTypeID(value) == CFStringGetTypeID())
            available.push_back(String::fromRef(value)->utf8());
    }
    using platform::cf::Locale;
    return arrayOfStrings(
        Bundle::preferredLocalizations(available, Locale::preferredLanguages(Locale::Environment::current())));
}

Boolean CFBundleGetPackageInfoInDirectory(CFURLRef url, UInt32* packageType, UInt32* packageCreator)
{
    if (url == nullptr)
        return false;
    std::string path = url->posixPath();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::string type, creator;
    std::ifstream pkgInfo(path + "/Contents/PkgInfo", std::ios::binary);
    char codes[8];
    if (pkgInfo && pkgInfo.read(codes, 8)) {
        type.assign(codes, 4);
        creator.assign(codes + 4, 4);
    } else {
        CFTypeRef plist = platform::cf::PropertyList::readXMLFile(path + "/Contents/Info.plist");
        const auto* info = platform::cf::Dictionary::fromRef(plist);
        if (info == nullptr) {
            if (plist)
                CFRelease(plist);
            return false;
        }
        type = platform::cf::stringValue(info, "CFBundlePackageType");
        creator = platform::cf::stringValue(info, "CFBundleSignature");
        CFRelease(plist);
    }
    if (packageType)
        *packageType = platform::cf::fourCharCode(type);
    if (packageCreator)
        *packageCreator = platform::cf::fourCharCode(creator);
    return true;
}
