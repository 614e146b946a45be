#pragma once
// The single entry for resources addressed by id and four-character type:
// first the in-memory table, then the bundle of the running code and the
// compiled resources.
#include "BAS/Endian.h"
#include "BAS/Stream.h"
#include "FEN/ResourceMap.h"

#include <cstdint>

namespace CV {
namespace FEN {

class ResourceFacade {
public:
    // A new stream at the start of the resource, in the byte order; the
    // caller deletes it. Null when the resource is nowhere (the resource
    // stream has then reported the miss on standard error).
    static BAS::Stream* getResource(uint32_t id, const char* type, BAS::Endian::eByteOrder byteOrder);
    // Deletes every per-type map and empties the table.
    static void clearResourceMap();
    // Type text to its key: the four characters big-endian.
    static uint32_t typeKey(const char* type);

    static ResourceMap g_theResourceMap;
};

} // namespace FEN
} // namespace CV
