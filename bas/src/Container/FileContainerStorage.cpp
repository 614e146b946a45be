#include "BAS/FileContainerStorage.h"

#include "BAS/FileManager.h"
#include "BAS/FileTypeManager.h"
#include "ContainerReader.h"

#include <fmt/format.h>

#include <limits>

namespace CV {
namespace BAS {

namespace {

constexpr int64_t kWholeStorage = std::numeric_limits<int64_t>::max();
constexpr uint64_t kMaxPiece = 0xFFFFFFFFull;

const FileTypeDescr* firstStandardType()
{
    return FileTypeManager::getStdType(FileTypeManager::eUnknown);
}

bool fileExists(const std::string& colonPath)
{
    const FileName name(colonPath);
    FSRef ref;
    return name.getFSRef(ref, false, nullptr);
}

} // namespace

FileContainerStorage::FileContainerStorage()
    : FileContainerParser(static_cast<IStorage&>(*this), nullptr, tContentParseInfo())
{
}

FileContainerStorage::~FileContainerStorage()
{
    closeChild();
}

// ---------------------------------------------------------------------------
// Part files

void FileContainerStorage::setRootFilePath(const std::string& fullPath)
{
    m_stem.clear();
    m_extension.clear();
    const std::size_t colon = fullPath.rfind(FileName::DIR_SEPARATOR);
    if (colon == std::string::npos) {
        m_folder = fullPath;
        return;
    }
    m_folder = fullPath.substr(0, colon + 1);
    const std::string fileName = fullPath.substr(colon + 1);
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        m_stem = fileName;
    } else {
        m_stem = fileName.substr(0, dot);
        m_extension = fileName.substr(dot + 1);
    }
}

std::string FileContainerStorage::getPartName(int index) const
{
    if (!isOpen())
        return std::string();
    if (index <= 0)
        return m_extension.empty() ? m_stem : m_stem + "." + m_extension;
    return m_stem + fmt::format(".part{}", index);
}

std::string FileContainerStorage::getPartFilePath(int index) const
{
    return m_folder + getPartName(index);
}

int64_t FileContainerStorage::getPartSize(int index)
{
    if (!isOpen())
        return 0;
    if (FileStorage* part = partAt(index)) {
        // A part only read keeps the size it had at open.
        if (!isWriting() && !m_written)
            return part->getFileSize();
        return MultiPartStorage<FileStorage>::getPartSize(index);
    }
    return FileManager::getFileSize(FileName(getPartFilePath(index)));
}

bool FileContainerStorage::openPart(int index)
{
    if (!isOpen() || index < 0)
        return false;
    if (partAt(index))
        return true;
    if (size_t(index) >= m_parts.size() && !isWriting())
        return false;
    FileName partName(getPartFilePath(index));
    partName.setType(index == 0 && m_fileType ? m_fileType : firstStandardType());
    std::unique_ptr<FileStorage> part(new FileStorage());
    if (!part->open(partName, m_accessMode, m_lockingMode))
        return false;
    if (isReadOnly() && part->getFileSize() == 0)
        return false;
    growSlots(size_t(index) + 1);
    m_parts[size_t(index)] = std::move(part);
    makeCurrent(index);
    if (isWriting())
        return updateMetadata(FileContainerParser::ANY_VERSION, std::string());
    return true;
}

bool FileContainerStorage::getPartIndexForPosition(int64_t position, int64_t& index, int64_t& partStart)
{
    index = 0;
    if (!isOpen() || position < 0)
        return false;
    const auto sizeOf = [this](int k) { return isWriting() ? m_maxPartSize : getPartSize(k); };
    const int64_t firstSize = sizeOf(0);
    if (firstSize == 0)
        return false;
    if (position < firstSize) {
        partStart = 0;
        return true;
    }
    if (position == firstSize && (isWriting() || m_parts.size() >= 2)) {
        index = 1;
        partStart = position;
        return true;
    }
    int64_t sum = firstSize;
    for (int k = 1; size_t(k) < m_parts.size(); ++k) {
        const int64_t size = sizeOf(k);
        if (size == 0)
            return false;
        const int64_t end = sum > kWholeStorage - size ? kWholeStorage : sum + size;
        if (position < end) {
            index = k;
            partStart = sum;
            return true;
        }
        if (position == end && (isWriting() || size_t(k) + 1 < m_parts.size())) {
            index = k + 1;
            partStart = position;
            return true;
        }
        sum = end;
    }
    return false;
}

int64_t FileContainerStorage::getPos64() const
{
    return MultiPartStorage<FileStorage>::getPos64();
}

uint64_t FileContainerStorage::read64(void* buffer, uint64_t count)
{
    unsigned char* out = static_cast<unsigned char*>(buffer);
    uint64_t total = 0;
    while (count > 0) {
        const uint64_t piece = count < kMaxPiece ? count : kMaxPiece;
        const size_t got = read(out + total, size_t(piece));
        total += got;
        if (got < piece)
            break;
        count -= piece;
    }
    return total;
}

uint64_t FileContainerStorage::write64(const void* data, uint64_t count)
{
    const unsigned char* in = static_cast<const unsigned char*>(data);
    uint64_t total = 0;
    while (count > 0) {
        const uint64_t piece = count < kMaxPiece ? count : kMaxPiece;
        const size_t put = write(in + total, size_t(piece));
        if (put < piece && piece == kMaxPiece)
            return 0;
        total += put;
        count -= piece;
    }
    return total;
}

// ---------------------------------------------------------------------------
// Opening and closing

bool FileContainerStorage::namesExistingItem(const FileName& name) const
{
    FSRef ref;
    unsigned char isDirectory = 0;
    if (!name.getFSRef(ref, false, &isDirectory))
        return false;
    if (isDirectory)
        return name.mode == FileName::eFile;
    if (name.mode != FileName::eFile || name.subpath.empty())
        return true;
    return FileContainer::isContainerFileContent(name, name.subpath);
}

void FileContainerStorage::growSlotsFromPartsRecord()
{
    for (const FileContainer::tMetaHeader& header : m_metaHeaders) {
        if (header.hasMagic() && header.getType() == FileContainer::tMetaHeader::eParts) {
            m_partsValue = header.getValue();
            // Slots only for part files that exist: the count is the file's word.
            uint32_t count = 1;
            while (count < header.getPartCount() && fileExists(getPartFilePath(int(count))))
                ++count;
            growSlots(count);
            break;
        }
    }
    growSlots(1);
}

bool FileContainerStorage::open(const FileName& name, eAccessMode accessMode, int64_t maxPartSize)
{
    if (isOpen() || !m_parts.empty())
        close();
    if (accessMode & eAccessWrite)
        m_maxPartSize = maxPartSize > 0 ? maxPartSize : UNLIMITED;

    std::vector<FileContainer::tMetaHeader> headers;
    const bool container = FileContainer::isContainerFile(name, &headers);
    const bool existing = namesExistingItem(name);
    if (!container && accessMode == eAccessRead && !existing) {
        (void)fmt::format("Error: open failed (new file: {0}, subpath: {1}).", name.full, name.subpath);
        setRootFilePath(std::string());
        return false;
    }

    m_accessMode = eAccessMode(accessMode | eAccessRead);
    setRootFilePath(name.full);
    m_subpath = name.subpath;
    m_fileType = name.type ? name.type : firstStandardType();
    m_status = eStatusOk;
    const auto fail = [this]() {
        close();
        return false;
    };
    if (!isOpen())
        return fail();
    if (container) {
        m_metaHeaders = std::move(headers);
        growSlotsFromPartsRecord();
        const bool checkIntegrity = isReadOnly() || existing;
        if (checkIntegrity && !queryDataIntegrity()) {
            (void)fmt::format("Error: open failed - integrity check (existing file: {0}).", name.full);
            return fail();
        }
    } else {
        growSlots(1);
    }
    if (!openPart(0)) {
        (void)fmt::format(existing ? "Error: open failed - open part (existing file: {0})."
                                   : "Error: open failed - open part (new file: {0}).",
                          name.full);
        return fail();
    }
    if (!m_subpath.empty() && !openContentFromSubpath(m_subpath, FileContainerParser::ANY_VERSION)) {
        (void)fmt::format(existing ? "Error: open failed - open subpath (existing file: {0}, subpath: {1})."
                                   : "Error: open failed - open subpath (new file: {0}, subpath: {1}).",
                          name.full, m_subpath);
        return fail();
    }
    m_status = eStatusOk;
    return true;
}

void FileContainerStorage::close()
{
    m_tocs.clear();
    m_metaHeaders.clear();
    m_metaHeaderPositions.clear();
    m_folder.clear();
    m_stem.clear();
    m_extension.clear();
    m_subpath.clear();
    m_fileType = nullptr;
    MultiPartStorage<FileStorage>::close();
}

void FileContainerStorage::flush()
{
    if (FileStorage* part = currentPart())
        part->seek64(0, eSeekCurrent); // hands buffered bytes to the file
    m_written = true;
}

int64_t FileContainerStorage::getStorageSizeForParsing()
{
    const bool written = m_written;
    const int64_t size = getCurrentStorageSize();
    m_written = written;
    return size;
}

const FileContainerParser* FileContainerStorage::getOpenedItem() const
{
    const FileContainerParser* level = getChild();
    while (level && level->getChild())
        level = level->getChild();
    return level;
}

// ---------------------------------------------------------------------------
// Lookups

bool FileContainerStorage::getAvailableContentTocs()
{
    const int64_t position = enterMetadataOperation();
    DETAIL::ContainerReader reader(*this, getStorageSizeForParsing());
    const bool found = reader.readTocChain(m_tocs, 0, kWholeStorage);
    m_chainMissing = !found && reader.chainMissing();
    if (!found) {
        (void)fmt::format("Error: getAvailableTocsFromRange failed, range offset = {0}, length = {1}", 0,
                          kWholeStorage);
    }
    leaveMetadataOperation(position);
    if (!found)
        m_status = eStatusError;
    return found;
}

template <class Lookup> bool FileContainerStorage::lookUpItem(Lookup lookup)
{
    if (getChild() || !isOpen())
        return false;
    if (m_tocs.empty() && (!getAvailableContentTocs() || m_tocs.empty()))
        return false;
    DETAIL::ContainerReader reader(*this, getStorageSizeForParsing(),
                                   [this](int64_t position, int64_t& index, int64_t& partStart) {
                                       return getPartIndexForPosition(position, index, partStart);
                                   });
    return lookup(reader);
}

bool FileContainerStorage::getContentInfoOfItem(const std::string& name, unsigned int version, tContentParseInfo& info)
{
    return lookUpItem(
        [&](DETAIL::ContainerReader& reader) { return reader.findItemByName(m_tocs, name, version, info); });
}

bool FileContainerStorage::getContentInfoOfItem(unsigned int id, unsigned int version, tContentParseInfo& info)
{
    return lookUpItem([&](DETAIL::ContainerReader& reader) { return reader.findItemById(m_tocs, id, version, info); });
}

bool FileContainerStorage::getContentRangeOfContentInfo(const tContentParseInfo& info, FileContentRange& range)
{
    range = info.range;
    const int first = int(info.range.firstPartIndex);
    range.offsetInFirstPart = info.range.offset - getPartOffset(first);
    const int64_t inFirst = getPartSize(first) - range.offsetInFirstPart;
    range.bytesInFirstPart = info.range.length <= inFirst ? info.range.length : std::max<int64_t>(inFirst, 0);
    int64_t lastIndex = first;
    int64_t lastStart = info.range.offset - range.offsetInFirstPart;
    if (info.range.length > 0)
        getPartIndexForPosition(info.range.offset + info.range.length - 1, lastIndex, lastStart);
    range.lastPartIndex = uint32_t(lastIndex);
    range.offsetInLastPart = std::max<int64_t>(info.range.offset - lastStart, 0);
    return info.range.length != 0;
}

bool FileContainerStorage::getContentRangeOfItem(const std::string& name, unsigned int version, FileContentRange& range)
{
    if (getChild() || !getContentInfoOfItem(name, version, m_info))
        return false;
    return getContentRangeOfContentInfo(m_info, range);
}

bool FileContainerStorage::getContentRangeOfItem(unsigned int id, unsigned int version, FileContentRange& range)
{
    if (getChild() || !getContentInfoOfItem(id, version, m_info))
        return false;
    return getContentRangeOfContentInfo(m_info, range);
}

bool FileContainerStorage::openContentFromSubpath(const std::string& subpath, unsigned int version)
{
    closeChild();
    if (subpath.empty() || subpath[0] != '<') {
        (void)fmt::format("Error: openContentFromSubpath failed ({} - error/no valid subpath).", subpath);
        return false;
    }
    const auto fail = [this, &subpath](const char* cause) {
        (void)fmt::format("Error: openContentFromSubpath failed ({} - {}).", subpath, cause);
        closeChild();
        return false;
    };
    FileContainerParser* level = this;
    std::string rest = subpath;
    while (!rest.empty() && rest[0] == '<') {
        tContentParseInfo info;
        if (rest.compare(0, 2, "<<") == 0) {
            const std::size_t close = rest.find('>', 2);
            if (close == std::string::npos)
                return fail("malformed/no id sep");
            uint32_t id = 0;
            if (!DETAIL::parseLeadingUnsigned(rest.substr(2), id))
                return fail("malformed/no id");
            if (!level->getContentInfoOfItem(id, version, info) || info.range.length == 0)
                return fail("error/id not found");
            rest.erase(0, close + 1);
        } else {
            const std::size_t next = rest.find('<', 1);
            const std::string name = rest.substr(1, next == std::string::npos ? std::string::npos : next - 1);
            if (!level->getContentInfoOfItem(name, version, info) || info.range.length == 0)
                return fail("error/name not found");
            rest.erase(0, next == std::string::npos ? rest.size() : next);
        }
        level = level->openChild(info);
    }
    return getChild() != nullptr;
}

// ---------------------------------------------------------------------------
// Meta headers and integrity

int64_t FileContainerStorage::enterMetadataOperation()
{
    const int64_t position = getPos64();
    return position < 0 ? 0 : position;
}

void FileContainerStorage::leaveMetadataOperation(int64_t position)
{
    seek64(position, eSeekBegin);
    if (m_status == eStatusClosed || m_status == eStatusError)
        m_status = eStatusError;
}

void FileContainerStorage::queryMetaHeaders()
{
    m_metaHeaders.clear();
    m_metaHeaderPositions.clear();
    const bool noSlots = m_parts.empty();
    if (noSlots)
        growSlots(1);
    const int64_t position = enterMetadataOperation();
    DETAIL::ContainerReader reader(*this, getStorageSizeForParsing());
    reader.readMetaHeaders(m_metaHeaders, m_metaHeaderPositions);
    for (const FileContainer::tMetaHeader& header : m_metaHeaders) {
        if (header.getType() == FileContainer::tMetaHeader::eParts) {
            m_partsValue = header.getValue();
            uint32_t count = uint32_t(m_parts.size());
            while (count < header.getPartCount() && fileExists(getPartFilePath(int(count))))
                ++count;
            growSlots(count);
        }
    }
    leaveMetadataOperation(position);
}

bool FileContainerStorage::writeMetaHeaderAt(int64_t position, const FileContainer::tMetaHeader& header)
{
    seek64(position, eSeekBegin);
    if (!isUsable())
        return false;
    return write(header.bytes.data(), header.bytes.size()) == header.bytes.size();
}

bool FileContainerStorage::hasStoredBytesAt(int64_t position)
{
    return position < getStorageSizeForParsing();
}

bool FileContainerStorage::updateMetadata(unsigned int value, const std::string& text)
{
    queryMetaHeaders();
    if (isReadOnly())
        return true;
    const int64_t position = enterMetadataOperation();
    const auto finish = [this, position](bool result) {
        leaveMetadataOperation(position);
        if (!result)
            m_status = eStatusError;
        return result;
    };

    int partsIndex = -1;
    int64_t metaEnd = 0;
    for (std::size_t i = 0; i < m_metaHeaders.size(); ++i) {
        FileContainer::tMetaHeader& header = m_metaHeaders[i];
        const int64_t at = m_metaHeaderPositions[i];
        if (header.getType() == FileContainer::tMetaHeader::eParts) {
            if (partsIndex < 0)
                partsIndex = int(i);
            metaEnd = std::max<int64_t>(metaEnd, at + int64_t(FileContainer::META_HEADER_SIZE));
            continue;
        }
        if (!text.empty()) {
            header.setText(text);
            if (!writeMetaHeaderAt(at, header))
                return finish(false);
        }
        metaEnd = std::max<int64_t>(metaEnd, at + int64_t(FileContainer::META_HEADER_SIZE) + header.getPayloadLength());
    }

    const uint32_t newValue = value == FileContainerParser::ANY_VERSION ? m_partsValue : value;
    const uint32_t partCount = uint32_t(std::max<std::size_t>(m_parts.size(), 1));
    const FileContainer::tMetaHeader record = FileContainer::tMetaHeader::makePartsRecord(newValue, partCount);
    if (partsIndex >= 0) {
        if (!writeMetaHeaderAt(m_metaHeaderPositions[std::size_t(partsIndex)], record))
            return finish(false);
        m_metaHeaders[std::size_t(partsIndex)] = record;
    } else if (!hasStoredBytesAt(metaEnd)) {
        if (!writeMetaHeaderAt(metaEnd, record))
            return finish(false);
        m_metaHeaders.push_back(record);
        m_metaHeaderPositions.push_back(metaEnd);
    } else if (partCount > 1) {
        // No room for a parts record without moving the data behind it.
        return finish(false);
    }
    m_partsValue = newValue;
    flush();
    return finish(true);
}

bool FileContainerStorage::queryDataIntegrity()
{
    if (!isOpen())
        return false;
    const int64_t position = enterMetadataOperation();
    // A damaged chain fails the check; raw bytes behind the meta blocks,
    // without any TOC, do not.
    bool intact = true;
    if (m_tocs.empty())
        intact = getAvailableContentTocs() || m_chainMissing;
    DETAIL::ContainerReader reader(*this, getStorageSizeForParsing());
    intact = reader.dataBlocksInside(m_tocs) && intact;
    leaveMetadataOperation(position);
    return intact;
}

} // namespace BAS
} // namespace CV
