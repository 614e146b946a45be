#pragma once
// An in-memory table of resources by four-character type and id. The entries
// borrow their bytes: whoever registers them keeps them alive.
#include <cstddef>
#include <cstdint>
#include <map>

namespace CV {
namespace FEN {

class ResourceMap {
public:
    struct ResEntry {
        void* data = nullptr;
        size_t size = 0;
    };
    using TypeMap = std::map<uint32_t, ResEntry>;

    ResourceMap() = default;
    ResourceMap(const ResourceMap&) = delete;
    ResourceMap& operator=(const ResourceMap&) = delete;
    // Frees the outer table only; clear() frees the per-type maps.
    ~ResourceMap() = default;

    // Registers the bytes under the type and id (replacing an entry).
    void add(uint32_t type, uint32_t id, void* data, size_t size);
    // The entry, or null.
    const ResEntry* find(uint32_t type, uint32_t id) const;
    // Deletes every per-type map and empties the table.
    void clear();
    bool empty() const { return m_table.empty(); }

private:
    std::map<uint32_t, TypeMap*> m_table;
};

} // namespace FEN
} // namespace CV
