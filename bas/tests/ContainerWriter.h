#pragma once
// Builds container bytes for tests from the format's layout: meta blocks,
// TOC blocks (either record size, with or without an id map) and raw bytes.
// Offsets of what was written are kept so that tests can damage fields.
#include <boost/locale/encoding_utf.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace containertest {

struct Item {
    std::string name;
    uint32_t id = 0;
    uint32_t version = 0;
    std::string data;
};

class ContainerWriter {
public:
    static constexpr size_t kMetaSize = 256;

    ContainerWriter& metaText(const std::string& text, const std::string& payload = std::string())
    {
        return meta(1, payload, [&](size_t at) { putUtf16(at + 66, text, 33); });
    }
    ContainerWriter& metaParts(uint32_t partCount, uint32_t value = 0)
    {
        return meta(2, std::string(), [&](size_t at) {
            putU32(m_bytes, at + 136, value);
            putU32(m_bytes, at + 144, partCount);
        });
    }
    ContainerWriter& metaOther(uint32_t type, const std::string& payload = std::string())
    {
        return meta(type, payload, [](size_t) {});
    }

    // One TOC block; the end record's offset is 0 (standing for the data
    // length) unless explicitEnd is set.
    ContainerWriter& toc(const std::vector<Item>& items, uint32_t version = 0, bool idMap = false,
                         bool explicitEnd = false)
    {
        const size_t record = version == 1 ? 640 : 160;
        const size_t start = m_bytes.size();
        tocPositions.push_back(start);
        std::string data;
        for (const Item& item : items)
            data += item.data;
        m_bytes.resize(start + record);
        putU32(m_bytes, start, version);
        for (size_t i = 8; i < 16; ++i)
            m_bytes[start + i] = 0xF0;
        putU32(m_bytes, start + 16, uint32_t(items.size()));
        putU32(m_bytes, start + 20, idMap ? 1 : 0);
        putS64(m_bytes, start + 24, int64_t(data.size()));
        putText(start + 32, "/\\ CV FC TOC  /\\");
        if (idMap) {
            std::vector<std::pair<uint32_t, uint32_t>> map;
            for (size_t i = 0; i < items.size(); ++i)
                map.emplace_back(items[i].id, uint32_t(i));
            std::sort(map.begin(), map.end());
            for (const auto& entry : map) {
                const size_t at = m_bytes.size();
                m_bytes.resize(at + 8);
                putU32(m_bytes, at, entry.second);
                putU32(m_bytes, at + 4, entry.first);
            }
        }
        int64_t offset = 0;
        for (const Item& item : items) {
            const size_t at = m_bytes.size();
            m_bytes.resize(at + record);
            putS64(m_bytes, at, offset);
            putU32(m_bytes, at + 8, item.id);
            putU32(m_bytes, at + 12, item.version);
            for (size_t i = 0; i < 16; ++i)
                m_bytes[at + 16 + i] = uint8_t(0xA0 + i);
            putUtf16(at + 32, item.name, (record - 32) / 2);
            offset += int64_t(item.data.size());
        }
        const size_t end = m_bytes.size();
        m_bytes.resize(end + record);
        putS64(m_bytes, end, explicitEnd ? offset : 0);
        raw(data);
        return *this;
    }

    ContainerWriter& raw(const std::string& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }

    std::vector<uint8_t>& bytes() { return m_bytes; }
    std::string text() const { return std::string(m_bytes.begin(), m_bytes.end()); }

    static void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
    {
        for (size_t i = 0; i < 4; ++i)
            bytes[at + i] = uint8_t(value >> (8 * i));
    }
    static void putS64(std::vector<uint8_t>& bytes, size_t at, int64_t value)
    {
        for (size_t i = 0; i < 8; ++i)
            bytes[at + i] = uint8_t(uint64_t(value) >> (8 * i));
    }

    std::vector<size_t> metaPositions;
    std::vector<size_t> tocPositions;

private:
    template <class Fill> ContainerWriter& meta(uint32_t type, const std::string& payload, Fill fill)
    {
        const size_t at = m_bytes.size();
        metaPositions.push_back(at);
        m_bytes.resize(at + kMetaSize);
        putText(at, "/\\ CV FC MTD  /\\");
        putU32(m_bytes, at + 132, type);
        putU32(m_bytes, at + 148, uint32_t(payload.size()));
        fill(at);
        return raw(payload);
    }
    void putText(size_t at, const std::string& text)
    {
        std::copy(text.begin(), text.end(), m_bytes.begin() + long(at));
    }
    void putUtf16(size_t at, const std::string& text, size_t roomUnits)
    {
        const std::u16string units = boost::locale::conv::utf_to_utf<char16_t>(text);
        for (size_t i = 0; i < units.size() && i < roomUnits; ++i) {
            m_bytes[at + 2 * i] = uint8_t(units[i]);
            m_bytes[at + 2 * i + 1] = uint8_t(units[i] >> 8);
        }
    }

    std::vector<uint8_t> m_bytes;
};

} // namespace containertest
