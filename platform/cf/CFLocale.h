#pragma once
// Locales as far as the program uses them: the user's preferred languages
// and the current locale's identifier, both from the environment
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
#include "platform/cf/CFArray.h"
#include "platform/cf/CFString.h"

#include <string>
#include <vector>

namespace platform::cf {

class Locale : public Object {
public:
    explicit Locale(std::string identifier);
    ~Locale() override;

    const std::string& identifier() const noexcept { return m_identifier; }
    CFStringRef identifierString() const { return m_string; }

    static const Locale* fromRef(CFTypeRef ref) noexcept;

    // The values of the locale variables, in the order of precedence.
    struct Environment {
        std::string language; // LANGUAGE: colon-separated list
        std::string lcAll; // LC_ALL
        std::string lcMessages; // LC_MESSAGES
        std::string lang; // LANG
        static Environment current();
    };
    // Language tags such as "de-AT", "de", "en", most preferred first, without
    // duplicates; "en" when the environment names none (or only C/POSIX).
    static std::vector<std::string> preferredLanguages(const Environment& environment);
    // The identifier of the locale in effect for messages, e.g. "de_AT";
    // "en_US_POSIX" for C/POSIX or nothing set.
    static std::string currentIdentifier(const Environment& environment);

private:
    std::string m_identifier;
    CFStringRef m_string;
};

} // namespace platform::cf

typedef const platform::cf::Locale* CFLocaleRef;

CFTypeID CFLocaleGetTypeID();
// Array of strings, most preferred first.
CFArrayRef CFLocaleCopyPreferredLanguages();
CFLocaleRef CFLocaleCopyCurrent();
CFStringRef CFLocaleGetIdentifier(CFLocaleRef locale);
