#include "BAS/GetTextLoader.h"

#include "BAS/StreamToVector.h"

#include "BAS/CFString.h"
#include "BAS/DSOHandle.h"
#include "BAS/MoCatalogReader.h"
#include "BAS/StringCF.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace CV {
namespace BAS {

char GetTextLoader::s_Locale[16] = {};

namespace {

constexpr std::size_t kMaxPathBytes = 4096;
constexpr char kNoLanguage[] = "\x01";

void chooseLanguage(const char* language)
{
    std::strncpy(GetTextLoader::s_Locale, language, sizeof GetTextLoader::s_Locale - 1);
    GetTextLoader::s_Locale[sizeof GetTextLoader::s_Locale - 1] = '\0';
}

struct CFReleaser {
    void operator()(CFTypeRef object) const
    {
        if (object)
            CFRelease(object);
    }
};
template <typename Ref> using CFHolder = std::unique_ptr<std::remove_pointer_t<Ref>, CFReleaser>;

// The bundle's most preferred localisation as UTF-8, or "" when it has none.
std::string preferredLocalizationOf(CFBundleRef bundle)
{
    CFHolder<CFArrayRef> available(CFBundleCopyBundleLocalizations(bundle));
    if (!available)
        return std::string();
    CFHolder<CFArrayRef> preferred(CFBundleCopyPreferredLocalizationsFromArray(available.get()));
    if (!preferred || CFArrayGetCount(preferred.get()) == 0)
        return std::string();
    CFTypeRef first = CFArrayGetValueAtIndex(preferred.get(), 0);
    if (first == nullptr || CFGetTypeID(first) != CFStringGetTypeID())
        return std::string();
    return StringCF(static_cast<CFStringRef>(first)).str();
}

// The whole file, or nothing when it cannot be read.
bool readFile(const char* path, std::vector<unsigned char>& contents)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        contents.assign(static_cast<std::size_t>(size), 0);
        ok = std::fread(contents.data(), 1, contents.size(), file) == contents.size();
    }
    std::fclose(file);
    return ok;
}

// The POSIX path of the catalogue in the bundle, or "" when there is none.
std::string cataloguePath(CFBundleRef bundle, const char* domain, const char* locale)
{
    CFString name(domain);
    CFString type("mo");
    const std::string folder = locale ? std::string(locale) + ".lproj" : std::string();
    CFString subFolder(folder);
    CFHolder<CFURLRef> url(CFBundleCopyResourceURL(bundle, name, type, locale ? subFolder.get() : nullptr));
    if (!url)
        return std::string();
    char path[kMaxPathBytes];
    if (!CFURLGetFileSystemRepresentation(url.get(), true, reinterpret_cast<UInt8*>(path), sizeof path))
        return std::string();
    return path;
}

} // namespace

const char* GetTextLoader::languageOf(const char* code)
{
    if (code == nullptr || code[0] == '\0' || code[1] == '\0')
        return "ENG";
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(code[0])));
    const char second = static_cast<char>(std::tolower(static_cast<unsigned char>(code[1])));
    const std::string prefix{first, second};
    if (prefix == "ja" || prefix == "jp")
        return "JPN";
    if (prefix == "fr")
        return "FRA";
    if (prefix == "de")
        return "DEU";
    if (prefix == "it")
        return "ITA";
    if (prefix == "es" || prefix == "sp")
        return "SPA";
    return "ENG";
}

void GetTextLoader::initLocale(const char* code)
{
    CFBundleRef bundle = getCurrentDSOHandle();
    if (bundle == nullptr) {
        chooseLanguage(code ? languageOf(code) : kNoLanguage);
        return;
    }
    if (code != nullptr && code[0] != '\0') {
        chooseLanguage(languageOf(code));
        return;
    }
    const std::string preferred = preferredLocalizationOf(bundle);
    chooseLanguage(preferred.empty() ? "ENG" : languageOf(preferred.c_str()));
}

void GetTextLoader::loadLocaleDomain(const char* domain, const char* locale)
{
    CFBundleRef bundle = getCurrentDSOHandle();
    if (bundle == nullptr || domain == nullptr)
        return;
    const std::string path = cataloguePath(bundle, domain, locale);
    if (path.empty())
        return;
    // The catalogue file is read whole into memory and parsed from there.
    std::vector<unsigned char> contents;
    if (readFile(path.c_str(), contents))
        loadDomain(contents.data(), contents.size());
}

void GetTextLoader::loadDomain(Stream& stream)
{
    const auto bytes = toStdVectorRaw<unsigned char>(stream);
    if (bytes && !bytes->empty())
        loadDomain(bytes->data(), bytes->size());
}

void GetTextLoader::loadDomain(const void* data, std::size_t size)
{
    MoCatalogReader::read(data, size, m_texts);
}

std::pair<const char*, std::size_t> GetTextLoader::getLoadedText(const char* text) const
{
    if (text == nullptr)
        return {"", 0};
    const auto found = m_texts.find(text);
    if (found == m_texts.end())
        return {text, std::strlen(text)};
    return {found->second.c_str(), found->second.size()};
}

} // namespace BAS
} // namespace CV
