#pragma once
// The key of a font file in the engine: the resource id when it is not 0,
// otherwise the font's name.
#include <boost/functional/hash.hpp>
#include <boost/variant.hpp>

#include <cstddef>
#include <string>
#include <utility>

namespace CV {
namespace FEN {
namespace DETAIL {

using FontKey = boost::variant<unsigned int, std::string>;

inline FontKey makeFontKey(unsigned int resourceId, const std::string& name)
{
    if (resourceId != 0)
        return FontKey(resourceId);
    return FontKey(name);
}

struct FontKeyHash {
    std::size_t operator()(const FontKey& key) const { return boost::hash<FontKey>()(key); }
};

// Pixel size and hinting of a glyph cache.
using SizeAndHinting = std::pair<int, bool>;

struct SizeAndHintingHash {
    std::size_t operator()(const SizeAndHinting& key) const
    {
        return std::hash<int>()(key.first) * 2 + (key.second ? 1 : 0);
    }
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
