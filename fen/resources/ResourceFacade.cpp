#include "FEN/ResourceFacade.h"

#include "BAS/DSOHandle.h"
#include "BAS/MemoryStream.h"
#include "BAS/ResourceStream.h"

#include <memory>

namespace CV {
namespace FEN {

ResourceMap ResourceFacade::g_theResourceMap;

uint32_t ResourceFacade::typeKey(const char* type)
{
    uint32_t key = 0;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = (type != nullptr && type[i] != 0) ? static_cast<unsigned char>(type[i]) : 0;
        key = (key << 8) | c;
        if (c == 0)
            type = nullptr;
    }
    return key;
}

BAS::Stream* ResourceFacade::getResource(uint32_t id, const char* type, BAS::Endian::eByteOrder byteOrder)
{
    if (!g_theResourceMap.empty()) {
        if (const ResourceMap::ResEntry* entry = g_theResourceMap.find(typeKey(type), id)) {
            auto stream = std::make_unique<BAS::MemoryStream>();
            stream->init(BAS::IStorage::eAccessRead, entry->data, entry->size);
            stream->setByteOrder(byteOrder);
            return stream.release();
        }
    }
    auto stream = std::make_unique<BAS::ResourceStream>();
    if (!stream->init(const_cast<void*>(static_cast<const void*>(BAS::getCurrentDSOHandle())), id, type))
        return nullptr;
    stream->setByteOrder(byteOrder);
    return stream.release();
}

void ResourceFacade::clearResourceMap()
{
    g_theResourceMap.clear();
}

} // namespace FEN
} // namespace CV
