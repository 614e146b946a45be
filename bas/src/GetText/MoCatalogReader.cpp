#include "BAS/MoCatalogReader.h"

#include <cstdint>
#include <cstring>

namespace CV {
namespace BAS {

namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr uint32_t kSwappedMagic = 0xde120495;
constexpr uint64_t kTableEntrySize = 8;

// Bounds-checked view of the catalogue's bytes in its byte order.
class CatalogueBytes {
public:
    CatalogueBytes(const unsigned char* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::size_t size() const { return m_size; }
    void setBigEndian(bool bigEndian) { m_bigEndian = bigEndian; }

    // The caller keeps offset + 4 within the block.
    uint32_t u32(uint64_t offset) const
    {
        const unsigned char* at = m_data + offset;
        if (m_bigEndian)
            return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | uint32_t(at[3]);
        return uint32_t(at[3]) << 24 | uint32_t(at[2]) << 16 | uint32_t(at[1]) << 8 | uint32_t(at[0]);
    }

    bool contains(uint64_t offset, uint64_t length) const { return offset <= m_size && length <= m_size - offset; }

    // The string of a table entry up to its first NUL; false when the entry
    // points outside the block.
    bool stringAt(uint64_t tableEntry, std::string& text) const
    {
        const uint32_t length = u32(tableEntry);
        const uint32_t offset = u32(tableEntry + 4);
        if (!contains(offset, length))
            return false;
        const char* start = reinterpret_cast<const char*>(m_data + offset);
        text.assign(start, ::strnlen(start, length));
        return true;
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    bool m_bigEndian = false;
};

} // namespace

std::size_t MoCatalogReader::read(const void* data, std::size_t size, std::map<std::string, std::string>& texts)
{
    if (data == nullptr || size < kHeaderSize)
        return 0;
    CatalogueBytes bytes(static_cast<const unsigned char*>(data), size);
    const uint32_t magic = bytes.u32(0);
    if (magic != kMagic && magic != kSwappedMagic)
        return 0;
    bytes.setBigEndian(magic == kSwappedMagic);
    if (bytes.u32(4) != 0)
        return 0;
    const uint64_t count = bytes.u32(8);
    const uint64_t sources = bytes.u32(12);
    const uint64_t translations = bytes.u32(16);
    const uint64_t tableSize = count * kTableEntrySize;
    if (count == 0 || !bytes.contains(sources, tableSize) || !bytes.contains(translations, tableSize))
        return 0;

    std::size_t taken = 0;
    std::string source;
    std::string translation;
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t entry = i * kTableEntrySize;
        if (bytes.u32(sources + entry) == 0)
            continue; // the catalogue's header
        if (!bytes.stringAt(sources + entry, source) || !bytes.stringAt(translations + entry, translation))
            continue;
        if (source.empty())
            continue; // a header entry with a NUL in front
        texts[source] = translation;
        ++taken;
    }
    return taken;
}

} // namespace BAS
} // namespace CV
