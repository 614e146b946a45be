#include "BAS/FileContainer.h"

#include "BAS/FileContainerStorage.h"
#include "BAS/FileName.h"
#include "BAS/FileStorage.h"
#include "ContainerReader.h"

#include <limits>

namespace CV {
namespace BAS {
namespace FileContainer {

namespace {

using DETAIL::ContainerReader;

// The name of the file itself: the subpath takes no part.
FileName withoutSubpath(const FileName& name)
{
    FileName file(name);
    file.subpath.clear();
    return file;
}

bool readBlock(FileStorage& file, tMetaHeader& block)
{
    return file.read(block.bytes.data(), block.bytes.size()) == block.bytes.size();
}

// The meta blocks at the file's start; false when a payload runs past the
// file's end or is too long for the format (the file still counts as a
// container when it began with a meta block: a damaged one).
bool collectMetaBlocks(FileStorage& file, std::vector<tMetaHeader>& headers, bool& appended)
{
    const int64_t size = file.getFileSize();
    int64_t position = 0;
    tMetaHeader block;
    while (readBlock(file, block) && block.hasMagic()) {
        headers.push_back(block);
        appended = true;
        position += int64_t(META_HEADER_SIZE);
        const uint32_t payload = block.getPayloadLength();
        if (payload == 0)
            continue;
        if (payload > ContainerReader::MAX_PAYLOAD_LENGTH || payload > size - position)
            return false;
        position += payload;
        file.seek64(position, IStorage::eSeekBegin);
        if (!file.isUsable())
            return false;
    }
    return true;
}

bool beginsWithTocHeader(FileStorage& file)
{
    uint8_t header[ContainerReader::TOC_HEADER_SIZE_V1];
    file.seek64(0, IStorage::eSeekBegin);
    if (!file.isUsable() || file.read(header, ContainerReader::TOC_HEADER_SIZE) != ContainerReader::TOC_HEADER_SIZE)
        return false;
    const int64_t size = ContainerReader::recordSizeForVersion(uint32_t(header[0]) | uint32_t(header[1]) << 8 |
                                                               uint32_t(header[2]) << 16 | uint32_t(header[3]) << 24);
    const size_t rest = size_t(size - ContainerReader::TOC_HEADER_SIZE);
    if (rest > 0 && file.read(header + ContainerReader::TOC_HEADER_SIZE, rest) != rest)
        return false;
    return ContainerReader::isValidTocHeader(header);
}

} // namespace

bool isContainerFile(const FileName& name, std::vector<tMetaHeader>* metaHeaders)
{
    FileStorage file;
    if (!file.open(withoutSubpath(name), IStorage::eAccessRead, IStorage::eLockNone))
        return false;
    if (!metaHeaders) {
        tMetaHeader block;
        if (readBlock(file, block) && block.hasMagic())
            return true;
    } else {
        bool appended = false;
        if (!collectMetaBlocks(file, *metaHeaders, appended) || appended)
            return appended;
    }
    return beginsWithTocHeader(file);
}

bool isContainerFileContent(const FileName& name, const std::string& subpath)
{
    FileContainerStorage container;
    if (!container.open(withoutSubpath(name), IStorage::eAccessRead, std::numeric_limits<int64_t>::max()))
        return false;
    return container.openContentFromSubpath(subpath, FileContainerParser::ANY_VERSION);
}

} // namespace FileContainer
} // namespace BAS
} // namespace CV
