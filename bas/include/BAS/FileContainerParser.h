#pragma once
// One level of an opened container: the container file itself (its top
// level, FileContainerStorage) or an item opened inside it. A level knows
// the TOC blocks and meta headers it has read, the info of the item it
// stands for, the storage it reads, its parent and the next level of the
// opened item (its child, owned).
//
// A level below the top answers every lookup with false: one level of
// items is resolved, never items inside items.
#include "BAS/FileContainer.h"
#include "BAS/FileContentRange.h"
#include "BAS/IStorage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace CV {
namespace BAS {

class FileContainerParser {
public:
    // A version argument asking for the highest version.
    static constexpr uint32_t ANY_VERSION = 0xFFFFFFFFu;

    // One TOC block of a chain.
    struct tTocTableInfo {
        int64_t position = 0; // logical position of the TOC header
        uint32_t itemCount = 0;
        int64_t dataLength = 0;
        // Pairs of record index and item id, sorted by id; none when the
        // block has no id map.
        std::unique_ptr<std::vector<std::pair<unsigned int, unsigned int>>> idMap;
        uint32_t version = 0;
    };

    // The result of a lookup.
    struct tContentParseInfo {
        std::string name = FileContainer::INVALID_ENTRY;
        uint32_t id = 0;
        uint32_t version = 0;
        std::array<uint8_t, 16> opaque{};
        FileContentRange range;
        int64_t tocPosition = 0;
    };

    FileContainerParser(IStorage& storage, FileContainerParser* parent, const tContentParseInfo& info);
    FileContainerParser(const FileContainerParser&) = delete;
    FileContainerParser& operator=(const FileContainerParser&) = delete;
    virtual ~FileContainerParser();

    // The TOC blocks inside the level's item range, into the level's list.
    virtual bool getAvailableContentTocs();
    virtual bool getContentInfoOfItem(const std::string& name, unsigned int version, tContentParseInfo& info);
    virtual bool getContentInfoOfItem(unsigned int id, unsigned int version, tContentParseInfo& info);
    virtual bool getContentRangeOfItem(const std::string& name, unsigned int version, FileContentRange& range);
    virtual bool getContentRangeOfItem(unsigned int id, unsigned int version, FileContentRange& range);
    // The parent's full subpath; false for the top level.
    virtual bool getContentParentSubpath(std::string& subpath) const;
    // Appends "<" and this level's name, with "<" and the name of each
    // ancestor below the top level in front; true when anything beyond a
    // lone "<" was added.
    virtual bool getContentFullSubpath(std::string& subpath) const;

    const std::vector<tTocTableInfo>& getTocs() const { return m_tocs; }
    const std::vector<FileContainer::tMetaHeader>& getMetaHeaders() const { return m_metaHeaders; }
    const tContentParseInfo& getInfo() const { return m_info; }
    FileContainerParser* getParent() const { return m_parent; }
    FileContainerParser* getChild() const { return m_child.get(); }
    // Makes a new level for the item its child (replacing the previous
    // one) and returns it.
    FileContainerParser* openChild(const tContentParseInfo& info);
    void closeChild() { m_child.reset(); }

protected:
    // The storage's size in bytes, bounding every count the file gives.
    virtual int64_t getStorageSizeForParsing();

    std::vector<tTocTableInfo> m_tocs;
    std::vector<FileContainer::tMetaHeader> m_metaHeaders;
    tContentParseInfo m_info;
    IStorage& m_storage;
    FileContainerParser* m_parent;
    std::unique_ptr<FileContainerParser> m_child;
};

} // namespace BAS
} // namespace CV
