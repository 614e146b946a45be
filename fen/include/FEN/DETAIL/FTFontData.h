#pragma once
// One font file known to the engine: its bytes and its glyph caches by
// pixel size and hinting (weak: the fonts own the caches).
#include "FEN/DETAIL/FontKey.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace CV {
namespace FEN {
namespace DETAIL {

class FTRenderCache;

struct FTFontData {
    // The complete font file; faces are opened over this memory, so it
    // never changes once registered.
    std::vector<uint8_t> bytes;
    std::unordered_map<SizeAndHinting, std::weak_ptr<FTRenderCache>, SizeAndHintingHash> caches;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
