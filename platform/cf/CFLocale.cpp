#include "platform/cf/CFLocale.h"

#include <algorithm>
#include <cstdlib>

namespace platform::cf {

namespace {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// "de_AT.UTF-8@euro" -> "de_AT"; empty for C and POSIX.
std::string localeName(const std::string& value)
{
    std::string name = value.substr(0, value.find_first_of(".@"));
    if (name == "C" || name == "POSIX")
        return std::string();
    return name;
}

std::vector<std::string> splitColons(const std::string& list)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(':', start), list.size());
        parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

void addTag(std::vector<std::string>& tags, const std::string& tag)
{
    if (!tag.empty() && std::find(tags.begin(), tags.end(), tag) == tags.end())
        tags.push_back(tag);
}

} // namespace

Locale::Locale(std::string identifier)
    : Object(TypeId::Locale)
    , m_identifier(std::move(identifier))
    , m_string(String::createFromUTF8(m_identifier))
{
}

Locale::~Locale()
{
    CFRelease(m_string);
}

const Locale* Locale::fromRef(CFTypeRef ref) noexcept
{
    return Object::fromRefOfType<Locale>(ref, TypeId::Locale);
}

Locale::Environment Locale::Environment::current()
{
    return Environment{environmentValue("LANGUAGE"), environmentValue("LC_ALL"), environmentValue("LC_MESSAGES"),
                       environmentValue("LANG")};
}

std::vector<std::string> Locale::preferredLanguages(const Environment& environment)
{
    // As gettext does: LANGUAGE counts only when the locale in effect is not C.
    const std::string current = currentIdentifier(environment);
    std::vector<std::string> names;
    if (current != "en_US_POSIX")
        for (const std::string& entry : splitColons(environment.language))
            names.push_back(localeName(entry));
    if (current != "en_US_POSIX")
        names.push_back(current);
    std::vector<std::string> tags;
    for (std::string name : names) {
        std::replace(name.begin(), name.end(), '_', '-');
        addTag(tags, name);
    }
    if (tags.empty())
        tags.push_back("en");
    return tags;
}

std::string Locale::currentIdentifier(const Environment& environment)
{
    for (const std::string* value : {&environment.lcAll, &environment.lcMessages, &environment.lang}) {
        if (value->empty())
            continue;
        const std::string name = localeName(*value);
        return name.empty() ? "en_US_POSIX" : name;
    }
    return "en_US_POSIX";
}

} // namespace platform::cf

using platform::cf::Locale;

CFTypeID CFLocaleGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::Locale);
}

CFArrayRef CFLocaleCopyPreferredLanguages()
{
    CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    for (const std::string& tag : Locale::preferredLanguages(Locale::Environment::current())) {
        CFStringRef string = platform::cf::String::createFromUTF8(tag);
        CFArrayAppendValue(array, string);
        CFRelease(string);
    }
    return array;
}

CFLocaleRef CFLocaleCopyCurrent()
{
    return new Locale(Locale::currentIdentifier(Locale::Environment::current()));
}

CFStringRef CFLocaleGetIdentifier(CFLocaleRef locale)
{
    return locale ? locale->identifierString() : nullptr;
}
