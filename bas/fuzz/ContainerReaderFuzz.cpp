// Fuzz target: arbitrary bytes read as a container through a memory
// storage. Every path of the reader must end without crashing, reading out
// of bounds, allocating what the file's counts ask for, or looping.
#include "BAS/MemoryStorage.h"
#include "bas/src/Container/ContainerReader.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

using CV::BAS::IStorage;
using CV::BAS::MemoryStorage;
using CV::BAS::DETAIL::ContainerReader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    MemoryStorage storage;
    storage.init(IStorage::eAccessRead, bytes.data(), bytes.size());
    ContainerReader reader(storage, int64_t(bytes.size()));

    std::vector<CV::BAS::FileContainer::tMetaHeader> headers;
    std::vector<int64_t> positions;
    reader.readMetaHeaders(headers, positions);
    for (const auto& header : headers)
        (void)header.getText();

    std::vector<ContainerReader::tTocTableInfo> tocs;
    reader.readTocChain(tocs, 0, std::numeric_limits<int64_t>::max());
    reader.dataBlocksInside(tocs);

    // Look up what the last bytes name, by id and by a short name, with and
    // without a version.
    uint32_t key = 0;
    for (size_t i = size >= 4 ? size - 4 : 0; i < size; ++i)
        key = key << 8 | data[i];
    ContainerReader::tContentParseInfo info;
    for (const uint32_t version : {0xFFFFFFFFu, key & 7u}) {
        reader.findItemById(tocs, key & 0xFF, version, info);
        reader.findItemByName(tocs, std::string(1, char('a' + key % 26)), version, info);
        if (!tocs.empty())
            reader.readTocChain(tocs, tocs.front().position, int64_t(key));
    }
    uint32_t id = 0;
    CV::BAS::DETAIL::parseLeadingUnsigned(std::string(reinterpret_cast<const char*>(data), size < 16 ? size : 16), id);
    return 0;
}
