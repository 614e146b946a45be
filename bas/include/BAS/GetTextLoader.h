#pragma once
// One text domain's message catalogue: a map from source text to
// translation, read from a catalogue file in the bundle of the running code
// (Resources/<LANG>.lproj/<domain>.mo), plus the process-wide choice of the
// catalogue language.
#include <cstddef>
#include <map>
#include <string>
#include <utility>

namespace CV {
namespace BAS {

class Stream;

class GetTextLoader {
public:
    // Chooses the catalogue language. With a bundle of the running code: a
    // non-empty code gives its language; otherwise the bundle's preferred
    // localisation does ("ENG" when there is none). Without a bundle: any
    // code (also "") gives its language, and null chooses none.
    static void initLocale(const char* code);
    // The language of a code by its first two characters, case aside:
    // "ja"/"jp" JPN, "fr" FRA, "de" DEU, "it" ITA, "es"/"sp" SPA, else ENG.
    static const char* languageOf(const char* code);

    // Loads Resources/<locale>.lproj/<domain>.mo of the running code's
    // bundle (Resources/<domain>.mo for a null locale) when it exists.
    void loadLocaleDomain(const char* domain, const char* locale);
    // Reads one catalogue from the whole of a stream's storage; a stream
    // that cannot be read whole loads nothing.
    void loadDomain(Stream& stream);
    // Reads one catalogue held in memory.
    void loadDomain(const void* data, std::size_t size);

    // The translation of text, or text itself when there is none.
    std::pair<const char*, std::size_t> getLoadedText(const char* text) const;
    const std::map<std::string, std::string>& getLoadedTexts() const { return m_texts; }

    // 0: no language chosen yet; 1: the choice found none; else the code.
    static char s_Locale[16];

private:
    std::map<std::string, std::string> m_texts;
};

} // namespace BAS
} // namespace CV
