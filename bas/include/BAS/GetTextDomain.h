#pragma once
// Lookups in one text domain, cached per literal: the cache is keyed by the
// address of the text asked for, so the same literal always gets the same
// std::string object back, valid for the life of the domain.
#include "BAS/GetTextLoader.h"

#include <map>
#include <string>

namespace CV {
namespace BAS {

template <typename Key, typename Value> class GetTextDomain;

template <> class GetTextDomain<const char*, std::string> {
public:
    // An empty domain.
    GetTextDomain() = default;
    // Loads the domain's catalogue of the chosen language, when one is chosen.
    explicit GetTextDomain(const char* domain)
    {
        if (static_cast<unsigned char>(GetTextLoader::s_Locale[0]) >= 2)
            m_loader.loadLocaleDomain(domain, GetTextLoader::s_Locale);
    }

    const std::string& get(const char* const& text)
    {
        const auto cached = m_cache.find(text);
        if (cached != m_cache.end())
            return cached->second;
        const auto loaded = m_loader.getLoadedText(text);
        return m_cache.emplace(text, std::string(loaded.first, loaded.second)).first->second;
    }

    GetTextLoader& loader() { return m_loader; }

private:
    std::map<const char*, std::string> m_cache;
    GetTextLoader m_loader;
};

using LibraryTextDomain = GetTextDomain<const char*, std::string>;

// The library's own domain, "lib", created on the first call.
LibraryTextDomain& GetLibraryTextDomain();

} // namespace BAS
} // namespace CV
