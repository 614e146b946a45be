#include "ContainerReader.h"

#include <boost/locale/encoding_utf.hpp>

#include <algorithm>
#include <cstring>
#include <limits>

namespace CV {
namespace BAS {
namespace DETAIL {

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr std::size_t kRecordNameOffset = 32;
constexpr std::size_t kRecordOpaqueOffset = 16;

uint32_t u32At(const uint8_t* data)
{
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
}

int64_t s64At(const uint8_t* data)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | data[i];
    return int64_t(value);
}

// a + b, or the largest value when that does not fit; both non-negative.
int64_t saturatingAdd(int64_t a, int64_t b)
{
    return a > kInt64Max - b ? kInt64Max : a + b;
}

std::string nameFromUtf16(const uint8_t* data, std::size_t bytes)
{
    std::u16string units;
    for (std::size_t at = 0; at + 1 < bytes; at += 2) {
        const char16_t unit = char16_t(data[at] | data[at + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return boost::locale::conv::utf_to_utf<char>(units);
}

} // namespace

struct ContainerReader::Record {
    std::vector<uint8_t> bytes;
    int64_t dataOffset() const { return s64At(bytes.data()); }
    uint32_t id() const { return u32At(bytes.data() + 8); }
    uint32_t version() const { return u32At(bytes.data() + 12); }
    std::string name() const
    {
        return nameFromUtf16(bytes.data() + kRecordNameOffset, bytes.size() - kRecordNameOffset);
    }
};

ContainerReader::ContainerReader(IStorage& storage, int64_t storageSize, PartLocator locator)
    : m_storage(storage)
    , m_size(std::max<int64_t>(storageSize, 0))
    , m_locator(std::move(locator))
{
}

int64_t ContainerReader::recordSizeForVersion(uint32_t version)
{
    return version == 1 ? TOC_HEADER_SIZE_V1 : TOC_HEADER_SIZE;
}

bool ContainerReader::hasMagic(const uint8_t* data, const std::array<uint8_t, 16>& magic)
{
    return std::memcmp(data, magic.data(), magic.size()) == 0;
}

bool ContainerReader::isValidTocHeader(const uint8_t* header)
{
    if (u32At(header + 4) != 0)
        return false;
    for (int i = 8; i < 16; ++i)
        if (header[i] != 0xF0)
            return false;
    return hasMagic(header + 32, FileContainer::TOC_MAGIC);
}

void ContainerReader::useRecordSizeOf(const std::vector<tTocTableInfo>& tocs)
{
    if (!tocs.empty())
        m_recordSize = recordSizeForVersion(tocs.front().version);
}

bool ContainerReader::readAt(int64_t position, void* buffer, int64_t count)
{
    if (position < 0 || count < 0 || position > m_size || count > m_size - position)
        return false;
    m_storage.seek64(position, IStorage::eSeekBegin);
    if (!m_storage.isUsable() || m_storage.getPos64() != position)
        return false;
    return m_storage.read(buffer, std::size_t(count)) == std::size_t(count);
}

bool ContainerReader::readTocChain(std::vector<tTocTableInfo>& tocs, int64_t offset, int64_t length)
{
    m_chainMissing = false;
    if (offset < 0 || length < 0 || offset > m_size)
        return false;
    const int64_t rangeEnd = saturatingAdd(offset, length);
    const int64_t limit = std::min(rangeEnd, m_size);
    int64_t position = offset;

    // Meta blocks in front of the chain.
    uint8_t block[FileContainer::META_HEADER_SIZE];
    for (;;) {
        const int64_t remaining = limit - position;
        if (remaining <= 0)
            return true; // meta blocks only, no chain
        if (remaining < int64_t(sizeof block)) {
            // Too short for a meta block: a torn TOC header, or raw data.
            m_chainMissing =
                remaining < TOC_HEADER_SIZE || !readAt(position, block, TOC_HEADER_SIZE) || !isValidTocHeader(block);
            return false;
        }
        if (!readAt(position, block, sizeof block))
            return false;
        if (!hasMagic(block, FileContainer::META_MAGIC)) {
            m_chainMissing = !isValidTocHeader(block);
            break;
        }
        const uint32_t payload = u32At(block + FileContainer::tMetaHeader::PAYLOAD_OFFSET);
        if (payload > MAX_PAYLOAD_LENGTH)
            return false;
        position += int64_t(sizeof block) + payload;
        if (position > m_size || (payload != 0 && position >= rangeEnd))
            return false;
    }

    // The chain: every header and record has the size the first version selects.
    if (m_chainMissing)
        return false;
    uint8_t header[TOC_HEADER_SIZE_V1];
    bool first = true;
    for (;;) {
        const int64_t remaining = limit - position;
        if (!first && remaining == 0)
            return true;
        if (!readAt(position, header, TOC_HEADER_SIZE))
            return false;
        const uint32_t version = u32At(header);
        if (first)
            m_recordSize = recordSizeForVersion(version);
        else if (recordSizeForVersion(version) != m_recordSize)
            return false;
        if (m_recordSize > TOC_HEADER_SIZE &&
            !readAt(position + TOC_HEADER_SIZE, header + TOC_HEADER_SIZE, m_recordSize - TOC_HEADER_SIZE))
            return false;
        if (!isValidTocHeader(header))
            return false;

        tTocTableInfo toc;
        toc.position = position;
        toc.itemCount = u32At(header + 16);
        toc.dataLength = s64At(header + 24);
        toc.version = version;
        const bool hasIdMap = (u32At(header + 20) & 1u) != 0;
        const int64_t mapBytes = hasIdMap ? ID_MAP_ENTRY_SIZE * toc.itemCount : 0;
        const int64_t recordBytes = (int64_t(toc.itemCount) + 1) * m_recordSize;
        const int64_t afterHeader = limit - position - m_recordSize;
        if (toc.dataLength < 0 || mapBytes + recordBytes > afterHeader ||
            toc.dataLength > afterHeader - mapBytes - recordBytes)
            return false;

        if (hasIdMap) {
            std::vector<uint8_t> raw(static_cast<std::size_t>(mapBytes));
            if (!readAt(position + m_recordSize, raw.data(), mapBytes))
                return false;
            toc.idMap.reset(new std::vector<std::pair<unsigned int, unsigned int>>());
            toc.idMap->reserve(toc.itemCount);
            for (std::size_t at = 0; at < raw.size(); at += ID_MAP_ENTRY_SIZE)
                toc.idMap->emplace_back(u32At(&raw[at]), u32At(&raw[at + 4]));
        }
        position += m_recordSize + mapBytes + recordBytes + toc.dataLength;
        tocs.push_back(std::move(toc));
        first = false;
        if (limit - position > 0 && limit - position < m_recordSize)
            return false; // bytes behind the chain that are no header
    }
}

void ContainerReader::readMetaHeaders(std::vector<FileContainer::tMetaHeader>& headers, std::vector<int64_t>& positions)
{
    int64_t position = 0;
    FileContainer::tMetaHeader header;
    while (readAt(position, header.bytes.data(), FileContainer::META_HEADER_SIZE) && header.hasMagic()) {
        const uint32_t type = header.getType();
        if (type == FileContainer::tMetaHeader::eParts || type == FileContainer::tMetaHeader::eText) {
            headers.push_back(header);
            positions.push_back(position);
        }
        position += int64_t(FileContainer::META_HEADER_SIZE);
        if (type == FileContainer::tMetaHeader::eParts)
            continue;
        const uint32_t payload = header.getPayloadLength();
        if (payload > MAX_PAYLOAD_LENGTH || payload > m_size - position)
            break;
        position += payload;
    }
}

int64_t ContainerReader::dataStartOf(const tTocTableInfo& toc) const
{
    const int64_t mapBytes = toc.idMap ? ID_MAP_ENTRY_SIZE * toc.itemCount : 0;
    return toc.position + m_recordSize + mapBytes + (int64_t(toc.itemCount) + 1) * m_recordSize;
}

bool ContainerReader::readRecord(int64_t position, Record& record)
{
    record.bytes.resize(std::size_t(m_recordSize));
    return readAt(position, record.bytes.data(), m_recordSize);
}

bool ContainerReader::readCandidate(const tTocTableInfo& toc, int64_t index, Record& record, int64_t& end)
{
    const int64_t recordsStart = dataStartOf(toc) - (int64_t(toc.itemCount) + 1) * m_recordSize;
    Record next;
    if (!readRecord(recordsStart + index * m_recordSize, record) ||
        !readRecord(recordsStart + (index + 1) * m_recordSize, next))
        return false;
    end = next.dataOffset() == 0 ? toc.dataLength : next.dataOffset();
    const int64_t begin = record.dataOffset();
    return begin >= 0 && begin <= end && end <= toc.dataLength;
}

bool ContainerReader::fillInfo(const tTocTableInfo& toc, const Record& record, int64_t end, tContentParseInfo& info)
{
    info.name = record.name();
    info.id = record.id();
    info.version = record.version();
    std::copy_n(record.bytes.begin() + kRecordOpaqueOffset, info.opaque.size(), info.opaque.begin());
    info.tocPosition = toc.position;
    info.range = FileContentRange();
    info.range.offset = dataStartOf(toc) + record.dataOffset();
    info.range.length = end - record.dataOffset();
    int64_t index = 0;
    int64_t partStart = 0;
    if (m_locator) {
        if (!m_locator(info.range.offset, index, partStart))
            return false;
    } else if (info.range.offset > m_size) {
        return false;
    }
    info.range.firstPartIndex = uint32_t(index);
    return true;
}

bool ContainerReader::searchTocByRecords(const tTocTableInfo& toc, const std::function<bool(const Record&)>& matches,
                                         uint32_t version, tContentParseInfo& best, bool& found, bool& stop)
{
    for (int64_t index = 0; index < int64_t(toc.itemCount); ++index) {
        Record record;
        int64_t end = 0;
        const int64_t recordPosition = dataStartOf(toc) - (int64_t(toc.itemCount) + 1 - index) * m_recordSize;
        if (!readRecord(recordPosition, record))
            return false;
        if (version != FileContainerParser::ANY_VERSION && record.version() != version)
            continue;
        if (!matches(record))
            continue;
        if (!readCandidate(toc, index, record, end))
            return false;
        if (!found || record.version() > best.version) {
            if (!fillInfo(toc, record, end, best))
                return false;
            found = true;
        }
        if (best.version == version) {
            stop = true;
            return true;
        }
    }
    return true;
}

bool ContainerReader::findItemByName(const std::vector<tTocTableInfo>& tocs, const std::string& name, uint32_t version,
                                     tContentParseInfo& info)
{
    useRecordSizeOf(tocs);
    tContentParseInfo best;
    bool found = false;
    bool stop = false;
    const auto matches = [&name](const Record& record) { return record.name() == name; };
    for (const tTocTableInfo& toc : tocs) {
        if (!searchTocByRecords(toc, matches, version, best, found, stop))
            return false;
        if (stop)
            break;
    }
    if (found)
        info = best;
    return found;
}

bool ContainerReader::findItemById(const std::vector<tTocTableInfo>& tocs, uint32_t id, uint32_t version,
                                   tContentParseInfo& info)
{
    useRecordSizeOf(tocs);
    tContentParseInfo best;
    bool found = false;
    bool stop = false;
    const auto matches = [id](const Record& record) { return record.id() == id; };
    for (const tTocTableInfo& toc : tocs) {
        if (!toc.idMap) {
            if (!searchTocByRecords(toc, matches, version, best, found, stop))
                return false;
            if (stop)
                break;
            continue;
        }
        const auto& map = *toc.idMap;
        const auto entry = std::lower_bound(
            map.begin(), map.end(), id,
            [](const std::pair<unsigned int, unsigned int>& e, uint32_t key) { return e.second < key; });
        if (entry == map.end() || entry->second != id || entry->first >= toc.itemCount)
            continue;
        Record record;
        int64_t end = 0;
        if (!readCandidate(toc, entry->first, record, end))
            return false;
        if (version != FileContainerParser::ANY_VERSION && record.version() != version)
            continue;
        if (!found || record.version() > best.version) {
            if (!fillInfo(toc, record, end, best))
                return false;
            found = true;
        }
        if (best.version == version)
            break;
    }
    if (found)
        info = best;
    return found;
}

bool ContainerReader::dataBlocksInside(const std::vector<tTocTableInfo>& tocs)
{
    useRecordSizeOf(tocs);
    bool inside = true;
    for (const tTocTableInfo& toc : tocs) {
        const int64_t start = dataStartOf(toc);
        if (toc.dataLength < 0 || start > m_size || toc.dataLength > m_size - start)
            inside = false;
    }
    return inside;
}

bool parseLeadingUnsigned(const std::string& text, uint32_t& value)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + uint64_t(c - '0');
        if (number > 0xFFFFFFFFull)
            return false;
    }
    value = uint32_t(number);
    return true;
}

} // namespace DETAIL
} // namespace BAS
} // namespace CV
