#include "FEN/ResourceMap.h"

#include "BAS/ClearFull.h"

namespace CV {
namespace FEN {

void ResourceMap::add(uint32_t type, uint32_t id, void* data, size_t size)
{
    TypeMap*& entries = m_table[type];
    if (entries == nullptr)
        entries = new TypeMap();
    (*entries)[id] = ResEntry{data, size};
}

const ResourceMap::ResEntry* ResourceMap::find(uint32_t type, uint32_t id) const
{
    auto typeEntry = m_table.find(type);
    if (typeEntry == m_table.end() || typeEntry->second->empty())
        return nullptr;
    auto entry = typeEntry->second->find(id);
    return entry == typeEntry->second->end() ? nullptr : &entry->second;
}

void ResourceMap::clear()
{
    for (auto& typeEntry : m_table)
        delete typeEntry.second;
    BAS::clearFull(m_table);
}

} // namespace FEN
} // namespace CV
