#pragma once
// Reads the structures of a container through any storage: meta headers,
// the TOC chain of a range, lookups by name and by id, and the integrity
// of the data blocks. Every count, length and offset taken from the file is
// checked against the bytes that the storage holds before anything is
// allocated, read or skipped, so a damaged file fails quickly.
//
// The reader leaves the storage's status alone apart from what its reads
// and seeks do; its callers report failures in their own status.
#include "BAS/FileContainer.h"
#include "BAS/FileContainerParser.h"
#include "BAS/IStorage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace CV {
namespace BAS {
namespace DETAIL {

class ContainerReader {
public:
    using tTocTableInfo = FileContainerParser::tTocTableInfo;
    using tContentParseInfo = FileContainerParser::tContentParseInfo;
    // Finds the part that holds a logical position: its index and the
    // logical position of its first byte.
    using PartLocator = std::function<bool(int64_t position, int64_t& index, int64_t& partStart)>;

    static constexpr int64_t TOC_HEADER_SIZE = 160;
    static constexpr int64_t TOC_HEADER_SIZE_V1 = 640;
    static constexpr int64_t ID_MAP_ENTRY_SIZE = 8;
    static constexpr uint32_t MAX_PAYLOAD_LENGTH = 0x7FFFFFFFu;

    // storageSize: the bytes the storage holds; without a locator every
    // position lies in part 0, which starts at 0.
    ContainerReader(IStorage& storage, int64_t storageSize, PartLocator locator = {});

    // Appends the TOC blocks of [offset, offset + length) after any meta
    // blocks there. True at the end of a complete chain (or of meta blocks
    // without a chain); false for anything damaged, keeping the blocks
    // already appended.
    bool readTocChain(std::vector<tTocTableInfo>& tocs, int64_t offset, int64_t length);
    // After a failed readTocChain: whether it failed because the bytes
    // behind the meta blocks are no TOC at all (raw data) rather than a
    // damaged chain.
    bool chainMissing() const { return m_chainMissing; }

    // The meta headers at the storage's start with the position of each.
    // Parts records are not followed by a payload; unknown types are
    // skipped over. Stops at the first block without the magic, a short
    // read or a payload that runs past the storage.
    void readMetaHeaders(std::vector<FileContainer::tMetaHeader>& headers, std::vector<int64_t>& positions);

    bool findItemByName(const std::vector<tTocTableInfo>& tocs, const std::string& name, uint32_t version,
                        tContentParseInfo& info);
    bool findItemById(const std::vector<tTocTableInfo>& tocs, uint32_t id, uint32_t version, tContentParseInfo& info);

    // Whether the data block of every TOC ends inside the storage.
    bool dataBlocksInside(const std::vector<tTocTableInfo>& tocs);

    // The record (and header) size of a chain whose first header has the
    // version.
    static int64_t recordSizeForVersion(uint32_t version);
    // Whether the 16 bytes at data are the magic.
    static bool hasMagic(const uint8_t* data, const std::array<uint8_t, 16>& magic);
    // The check of a complete TOC header: zero word, eight 0xF0 bytes, magic.
    static bool isValidTocHeader(const uint8_t* header);

private:
    struct Record;

    // Headers and records of a chain all have the size its first header's
    // version selects.
    void useRecordSizeOf(const std::vector<tTocTableInfo>& tocs);
    bool readAt(int64_t position, void* buffer, int64_t count);
    bool readRecord(int64_t position, Record& record);
    // Data start of a TOC: header, id map and all records behind it.
    int64_t dataStartOf(const tTocTableInfo& toc) const;
    // Reads records index and index + 1 of the TOC and fills a candidate;
    // false when a record cannot be read or the item lies outside the data.
    bool readCandidate(const tTocTableInfo& toc, int64_t index, Record& record, int64_t& end);
    bool fillInfo(const tTocTableInfo& toc, const Record& record, int64_t end, tContentParseInfo& info);
    bool searchTocByRecords(const tTocTableInfo& toc, const std::function<bool(const Record&)>& matches,
                            uint32_t version, tContentParseInfo& best, bool& found, bool& stop);

    IStorage& m_storage;
    int64_t m_size;
    PartLocator m_locator;
    int64_t m_recordSize = TOC_HEADER_SIZE;
    bool m_chainMissing = false;
};

// A text the way a stream extraction reads an unsigned decimal value: its
// leading digits. False when the text does not begin with a digit or the
// value does not fit.
bool parseLeadingUnsigned(const std::string& text, uint32_t& value);

} // namespace DETAIL
} // namespace BAS
} // namespace CV
