// The container structures read through a memory storage: TOC chains of
// both record sizes, lookups by name, id and version, meta headers, and
// damaged files that must fail without allocating or looping on the counts
// they carry.
#include "bas/src/Container/ContainerReader.h"
#include "BAS/FileContainer.h"
#include "BAS/MemoryStorage.h"
#include "ContainerWriter.h"

#include <gtest/gtest.h>

#include <limits>

using containertest::ContainerWriter;
using containertest::Item;
using CV::BAS::IStorage;
using CV::BAS::MemoryStorage;
using CV::BAS::DETAIL::ContainerReader;
using CV::BAS::FileContainer::tMetaHeader;

namespace {

constexpr uint32_t kAny = 0xFFFFFFFFu;
constexpr int64_t kWhole = std::numeric_limits<int64_t>::max();

// A reader over a copy of the bytes.
struct InMemory {
    explicit InMemory(std::vector<uint8_t> content)
        : bytes(std::move(content))
        , reader(storage, int64_t(bytes.size()))
    {
        storage.init(IStorage::eAccessRead, bytes.data(), bytes.size());
    }
    bool chain() { return reader.readTocChain(tocs, 0, kWhole); }
    std::string dataOf(const ContainerReader::tContentParseInfo& info) const
    {
        return std::string(bytes.begin() + info.range.offset, bytes.begin() + info.range.offset + info.range.length);
    }

    std::vector<uint8_t> bytes;
    MemoryStorage storage;
    ContainerReader reader;
    std::vector<ContainerReader::tTocTableInfo> tocs;
};

TEST(ContainerReader, ItemsOfBothRecordSizesAndIdMapsLieWhereTheLayoutSays)
{
    for (const uint32_t version : {0u, 1u}) {
        for (const bool idMap : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << ", id map " << idMap);
            ContainerWriter writer;
            writer.metaText("skin").toc({{"first", 7, 1, "abc"}, {"second", 3, 1, "defgh"}}, version, idMap);
            writer.toc({{"third", 9, 1, "XY"}}, version, idMap, true);
            InMemory file(writer.bytes());
            ASSERT_TRUE(file.chain());
            ASSERT_EQ(file.tocs.size(), 2u);
            EXPECT_EQ(file.tocs[0].position, 256);
            EXPECT_EQ(file.tocs[0].itemCount, 2u);
            EXPECT_EQ(file.tocs[0].dataLength, 8);
            EXPECT_EQ(file.tocs[0].idMap != nullptr, idMap);

            const int64_t record = version == 1 ? 640 : 160;
            ContainerReader::tContentParseInfo info;
            ASSERT_TRUE(file.reader.findItemByName(file.tocs, "first", kAny, info));
            EXPECT_EQ(info.range.offset, 256 + record + (idMap ? 16 : 0) + 3 * record);
            EXPECT_EQ(file.dataOf(info), "abc");
            EXPECT_EQ(info.id, 7u);
            EXPECT_EQ(info.opaque[0], 0xA0);
            EXPECT_EQ(info.opaque[15], 0xAF);
            EXPECT_EQ(info.tocPosition, 256);

            ASSERT_TRUE(file.reader.findItemById(file.tocs, 3, kAny, info));
            EXPECT_EQ(info.name, "second");
            EXPECT_EQ(file.dataOf(info), "defgh"); // ends at the data length: end offset 0
            ASSERT_TRUE(file.reader.findItemById(file.tocs, 9, kAny, info));
            EXPECT_EQ(file.dataOf(info), "XY"); // explicit end offset
            EXPECT_FALSE(file.reader.findItemById(file.tocs, 8, kAny, info));
            EXPECT_FALSE(file.reader.findItemByName(file.tocs, "fir", kAny, info));
            EXPECT_TRUE(file.reader.dataBlocksInside(file.tocs));
        }
    }
}

TEST(ContainerReader, VersionSelection)
{
    ContainerWriter writer;
    writer.toc({{"a", 5, 1, "v1"}, {"a", 5, 3, "v3"}, {"a", 5, 2, "v2"}, {"b", 6, 4, "b4"}});
    writer.toc({{"b", 6, 4, "second b4"}, {"a", 5, 0xFFFFFFFFu, "newest"}}, 0, true);
    InMemory file(writer.bytes());
    ASSERT_TRUE(file.chain());
    const std::vector<uint8_t> firstOnly(writer.bytes().begin(), writer.bytes().begin() + long(writer.tocPositions[1]));
    InMemory oneToc(firstOnly);
    ASSERT_TRUE(oneToc.chain());

    struct Case {
        InMemory* file;
        const char* name;
        uint32_t id;
        uint32_t version;
        const char* expected; // nullptr: not found
    };
    const Case cases[] = {
        {&oneToc, "a", 5, kAny, "v3"},   {&oneToc, "a", 5, 2, "v2"}, {&oneToc, "a", 5, 4, nullptr},
        {&oneToc, "a", 5, 1, "v1"},      {&file, "b", 6, 4, "b4"}, // equal versions: first in chain order
        {&file, "a", 5, kAny, "newest"}, {&file, "a", 5, 3, "v3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " version " << c.version);
        ContainerReader::tContentParseInfo byName;
        ContainerReader::tContentParseInfo byId;
        const bool foundByName = c.file->reader.findItemByName(c.file->tocs, c.name, c.version, byName);
        const bool foundById = c.file->reader.findItemById(c.file->tocs, c.id, c.version, byId);
        ASSERT_EQ(foundByName, c.expected != nullptr);
        ASSERT_EQ(foundById, c.expected != nullptr);
        if (c.expected) {
            EXPECT_EQ(c.file->dataOf(byName), c.expected);
            EXPECT_EQ(c.file->dataOf(byId), c.expected);
        }
    }
}

TEST(ContainerReader, MetaBlocksWithoutChainAreAnEmptyContainer)
{
    ContainerWriter writer;
    writer.metaText("only text", "payload").metaOther(7).metaParts(1);
    InMemory file(writer.bytes());
    EXPECT_TRUE(file.chain());
    EXPECT_TRUE(file.tocs.empty());
    ContainerReader::tContentParseInfo info;
    EXPECT_FALSE(file.reader.findItemByName(file.tocs, "x", kAny, info));
    EXPECT_TRUE(file.reader.dataBlocksInside(file.tocs));

    std::vector<tMetaHeader> headers;
    std::vector<int64_t> positions;
    file.reader.readMetaHeaders(headers, positions);
    ASSERT_EQ(headers.size(), 2u); // the unknown type is skipped over
    EXPECT_EQ(headers[0].getText(), "only text");
    EXPECT_EQ(positions, (std::vector<int64_t>{0, 256 + 7 + 256}));
    EXPECT_EQ(headers[1].getPartCount(), 1u);
}

TEST(ContainerReader, TextHeaderKeeps32UnitsAndNoRemainsOfLongerText)
{
    tMetaHeader header;
    header.setText(std::string(40, 'x'));
    EXPECT_EQ(header.getText(), std::string(32, 'x'));
    header.setText("short");
    EXPECT_EQ(header.getText(), "short");
    header.setText(std::string(31, 'y') + "\xF0\x9F\x98\x80"); // a pair that does not fit whole
    EXPECT_EQ(header.getText(), std::string(31, 'y'));
}

// Damaged files: each must fail promptly, without allocating what its
// counts ask for and without looping.
TEST(ContainerReader, DamagedFilesFail)
{
    ContainerWriter good;
    good.metaText("t").toc({{"a", 1, 1, "0123456789"}, {"b", 2, 1, "abcdef"}}, 0, true);
    const size_t toc = good.tocPositions[0];
    const auto patchU32 = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good.bytes();
        ContainerWriter::putU32(bytes, at, value);
        return bytes;
    };
    const auto patchS64 = [&](size_t at, int64_t value) {
        std::vector<uint8_t> bytes = good.bytes();
        ContainerWriter::putS64(bytes, at, value);
        return bytes;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"huge item count", patchU32(toc + 16, 0xFFFFFFF0u)},
        {"item count one too many", patchU32(toc + 16, 3)},
        {"negative data length", patchS64(toc + 24, -1)},
        {"huge data length", patchS64(toc + 24, std::numeric_limits<int64_t>::max())},
        {"payload of 2^31", patchU32(148, 0x80000000u)},
        {"payload of 2^32 - 1", patchU32(148, 0xFFFFFFFFu)},
        {"payload past the end", patchU32(148, 100000)},
        {"bad TOC magic", patchU32(toc + 40, 0)},
        {"nonzero word", patchU32(toc + 4, 1)},
    };
    for (size_t trailing = 1; trailing < 160; ++trailing) {
        std::vector<uint8_t> bytes = good.bytes();
        bytes.resize(bytes.size() + trailing, 0xF0);
        cases.push_back({"trailing bytes", bytes});
    }
    std::vector<uint8_t> torn = good.bytes();
    torn.resize(256 + 100);
    cases.push_back({"torn TOC header", torn});

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", size " << c.bytes.size());
        InMemory file(c.bytes);
        EXPECT_FALSE(file.chain());
        // Bytes that are no TOC header at all count as raw data behind the meta blocks.
        const std::string what = c.what;
        EXPECT_EQ(file.reader.chainMissing(),
                  what == "bad TOC magic" || what == "nonzero word" || what == "torn TOC header");
    }
}

TEST(ContainerReader, ItemsOutsideTheirDataBlockAreNotFound)
{
    ContainerWriter good;
    good.toc({{"a", 1, 1, "0123456789"}, {"b", 2, 1, "abcdef"}, {"c", 3, 1, "xyz"}});
    const size_t records = good.tocPositions[0] + 160;
    struct Case {
        const char* what;
        size_t record;
        int64_t offset;
        const char* damaged;
    };
    const Case cases[] = {
        {"offsets out of order", 0, 12, "a"},       {"offset behind the data", 2, 100, "b"},
        {"offset behind the data", 2, 100, "c"},    {"negative offset", 1, -5, "b"},
        {"end record behind the data", 3, 50, "c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", item " << c.damaged);
        std::vector<uint8_t> bytes = good.bytes();
        ContainerWriter::putS64(bytes, records + c.record * 160, c.offset);
        InMemory file(bytes);
        ASSERT_TRUE(file.chain());
        ContainerReader::tContentParseInfo info;
        EXPECT_FALSE(file.reader.findItemByName(file.tocs, c.damaged, kAny, info));
        EXPECT_FALSE(file.reader.findItemById(file.tocs, uint32_t(c.damaged[0] - 'a' + 1), kAny, info));
    }
}

TEST(ContainerReader, IdsAreTheLeadingDigits)
{
    struct Case {
        const char* text;
        bool ok;
        uint32_t value;
    };
    const Case cases[] = {
        {"12>", true, 12},         {"0", true, 0},    {"4294967295>", true, 4294967295u},
        {"4294967296>", false, 0}, {"x>", false, 0},  {"", false, 0},
        {" 1>", false, 0},         {"-1>", false, 0},
    };
    for (const Case& c : cases) {
        uint32_t value = 77;
        EXPECT_EQ(CV::BAS::DETAIL::parseLeadingUnsigned(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

} // namespace
