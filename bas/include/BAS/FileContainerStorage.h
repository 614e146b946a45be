#pragma once
// A container file presented as one byte sequence over its part files, and
// at the same time the top level of the container's parser chain: the
// lookups by name, id and version, subpath resolution, meta headers and the
// integrity check run on it.
//
// Part files: the first part is the named file (Vol:skins:pack.bin), part
// N >= 1 is stem + ".part" + N in the same folder (Vol:skins:pack.part1).
// The parts record among the meta headers gives the number of parts; a
// container without one has one part. A file that is no container can be
// read as a one-part storage.
//
// Failures are results and the status word; nothing here throws.
#include "BAS/FileContainerParser.h"
#include "BAS/FileName.h"
#include "BAS/FileStorage.h"
#include "BAS/FileTypeDescr.h"
#include "BAS/MultiPartStorage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace BAS {

class FileContainerStorage : public MultiPartStorage<FileStorage>, public FileContainerParser {
public:
    FileContainerStorage();
    ~FileContainerStorage() override;

    // The parser's view of the container is the container itself.
    bool isOpen() const override { return !m_stem.empty(); }
    int64_t getPos64() const override;
    bool openPart(int index) override;
    void close() override;
    void flush() override;
    bool getPartIndexForPosition(int64_t position, int64_t& index, int64_t& partStart) override;
    int64_t getPartSize(int index) override;

    // Opens the container of the name (its subpath resolved to an opened
    // item); maxPartSize is taken only when writing.
    bool open(const FileName& name, eAccessMode accessMode, int64_t maxPartSize);
    // Reads and writes in pieces of at most 2^32 - 1 bytes.
    uint64_t read64(void* buffer, uint64_t count);
    uint64_t write64(const void* data, uint64_t count);
    std::string getPartName(int index) const;

    bool getAvailableContentTocs() override;
    bool getContentInfoOfItem(const std::string& name, unsigned int version, tContentParseInfo& info) override;
    bool getContentInfoOfItem(unsigned int id, unsigned int version, tContentParseInfo& info) override;
    bool getContentRangeOfItem(const std::string& name, unsigned int version, FileContentRange& range) override;
    bool getContentRangeOfItem(unsigned int id, unsigned int version, FileContentRange& range) override;
    bool getContentRangeOfContentInfo(const tContentParseInfo& info, FileContentRange& range);

    void setRootFilePath(const std::string& fullPath);
    std::string getPartFilePath(int index) const;
    // Opens the item the subpath names as the child level; false (and no
    // item open) when it names none or an empty one.
    bool openContentFromSubpath(const std::string& subpath, unsigned int version);
    void queryMetaHeaders();
    // Rewrites the text of the text headers (when text is not empty) and
    // the parts record, each at its own place. True without writing when
    // the container is open for reading only.
    bool updateMetadata(unsigned int value, const std::string& text);
    bool queryDataIntegrity();

    void setLockingMode(eLockingMode lockingMode) { m_lockingMode = lockingMode; }
    uint32_t getPartsValue() const { return m_partsValue; }
    // The innermost opened item, null when none is open.
    const FileContainerParser* getOpenedItem() const;

protected:
    int64_t getStorageSizeForParsing() override;

private:
    bool isReadOnly() const { return (m_accessMode & eAccessWrite) == 0; }
    // Runs an item lookup over the tables of contents (read on first use);
    // false when the container is not open at its root or has no tables.
    template <class Lookup> bool lookUpItem(Lookup lookup);
    bool namesExistingItem(const FileName& name) const;
    void growSlotsFromPartsRecord();
    // Remembers the position for a metadata operation and goes back there.
    int64_t enterMetadataOperation();
    void leaveMetadataOperation(int64_t position);
    bool openItemLevel(FileContainerParser& level, const tContentParseInfo& info);
    bool writeMetaHeaderAt(int64_t position, const FileContainer::tMetaHeader& header);
    bool hasStoredBytesAt(int64_t position);

    std::string m_folder;
    std::string m_stem;
    std::string m_extension;
    std::string m_subpath;
    const FileTypeDescr* m_fileType = nullptr;
    uint32_t m_partsValue = 0;
    eLockingMode m_lockingMode = eLockNone;
    std::vector<int64_t> m_metaHeaderPositions;
    bool m_chainMissing = false; // the last chain read found raw data, no TOC
};

} // namespace BAS
} // namespace CV
