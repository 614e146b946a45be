// Container files on disk: opening, subpaths, items read through the item
// storage and the file stream, parts, meta headers written in place, and
// damaged files refused at open.
#include "BAS/FileContainer.h"
#include "BAS/FileContainerItemStorage.h"
#include "BAS/FileContainerStorage.h"
#include "BAS/FileManager.h"
#include "BAS/FileName.h"
#include "BAS/FileStream.h"
#include "BAS/FileTypeManager.h"
#include "ContainerWriter.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem/path.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

using containertest::ContainerWriter;
using containertest::Item;
using CV::BAS::FileContainerItemStorage;
using CV::BAS::FileContainerParser;
using CV::BAS::FileContainerStorage;
using CV::BAS::FileContentRange;
using CV::BAS::FileManager;
using CV::BAS::FileName;
using CV::BAS::FileStream;
using CV::BAS::FileTypeManager;
using CV::BAS::IStorage;
namespace FileContainer = CV::BAS::FileContainer;

constexpr uint32_t kAny = 0xFFFFFFFFu;
constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();

std::string numbered(size_t count, char first = 'A')
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text.push_back(char(first + i % 26));
    return text;
}

class ContainerStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        m_folder = m_temporary.string();
    }
    void TearDown() override { FileTypeManager::deInit(); }

    std::string path(const std::string& file) const { return m_folder + "/" + file; }
    void store(const std::string& file, const std::string& bytes) const
    {
        std::ofstream(path(file), std::ios::binary) << bytes;
    }
    std::string load(const std::string& file) const
    {
        std::ifstream in(path(file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The name of a file in the folder, with a container subpath.
    FileName name(const std::string& file, const std::string& subpath = std::string()) const
    {
        FileName result{boost::filesystem::path(path(file))};
        result.subpath = subpath;
        return result;
    }
    std::string readAll(IStorage& storage, size_t count) const
    {
        std::string bytes(count + 10, '\0');
        bytes.resize(storage.read(&bytes[0], bytes.size()));
        return bytes;
    }

    // A container with a text block and one TOC with an id map.
    void storeSkin(const std::string& file) const
    {
        ContainerWriter writer;
        writer.metaText("skin", "pay")
            .toc({{"a", 12, 1, "alpha bytes"}, {"b", 13, 1, "beta"}, {"empty", 14, 1, ""}}, 0, true);
        store(file, writer.text());
    }

    CV::test::TemporaryFolder m_temporary{"container-test"};
    std::string m_folder;
};

TEST_F(ContainerStorageTest, Subpaths)
{
    storeSkin("skin.bin");
    struct Case {
        const char* subpath;
        const char* item; // nullptr: fails
    };
    const Case cases[] = {
        {"<<12>", "alpha bytes"}, {"<<12>tail", "alpha bytes"},
        {"<<13>", "beta"},        {"<b", "beta"},
        {"<<12", nullptr},        {"<<x>", nullptr},
        {"<a<b", nullptr},        {"", nullptr},
        {"abc", nullptr},         {"<empty", nullptr},
        {"<<14>", nullptr},       {"<c", nullptr},
        {"<<99>", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subpath);
        FileContainerStorage container;
        ASSERT_TRUE(container.open(name("skin.bin"), IStorage::eAccessRead, kUnlimited));
        EXPECT_EQ(container.openContentFromSubpath(c.subpath, kAny), c.item != nullptr);
        EXPECT_EQ(FileContainer::isContainerFileContent(name("skin.bin"), c.subpath), c.item != nullptr);

        FileContainerItemStorage item;
        const bool opened = item.open(name("skin.bin", c.subpath), IStorage::eAccessRead, IStorage::eLockNone);
        EXPECT_EQ(opened, c.item != nullptr);
        EXPECT_EQ(item.getContainer() != nullptr, opened);
        if (c.item) {
            EXPECT_EQ(readAll(item, 20), c.item);
            EXPECT_EQ(FileManager::getFileSize(name("skin.bin", c.subpath)), int64_t(std::string(c.item).size()));
        } else if (*c.subpath) {
            EXPECT_EQ(FileManager::getFileSize(name("skin.bin", c.subpath)), 0);
        }
    }
}

TEST_F(ContainerStorageTest, OpenedItemAnswersForItselfAndBlocksTopLevelLookups)
{
    storeSkin("skin.bin");
    FileContainerStorage container;
    ASSERT_TRUE(container.open(name("skin.bin", "<b"), IStorage::eAccessRead, kUnlimited));
    const FileContainerParser* item = container.getOpenedItem();
    ASSERT_NE(item, nullptr);
    std::string subpath;
    EXPECT_TRUE(item->getContentFullSubpath(subpath));
    EXPECT_EQ(subpath, "<b");
    FileContainerParser::tContentParseInfo info;
    EXPECT_FALSE(container.getContentInfoOfItem("a", kAny, info));
    FileContentRange range;
    EXPECT_FALSE(container.getContentRangeOfItem(12u, kAny, range));
    ASSERT_TRUE(container.openContentFromSubpath("", kAny) == false);
    ASSERT_TRUE(container.getContentRangeOfItem(12u, kAny, range));
    EXPECT_EQ(range.length, 11);
    EXPECT_EQ(range.bytesInFirstPart, 11);
}

TEST_F(ContainerStorageTest, ItemThroughFileStreamEqualsItsBytes)
{
    const std::string data = numbered(300);
    ContainerWriter writer;
    writer.toc({{"pic", 1, 1, "before"}, {"font", 2, 1, data}, {"after", 3, 1, "tail"}});
    store("pack.bin", writer.text());

    FileStream stream;
    ASSERT_TRUE(stream.open(name("pack.bin", "<font"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(stream.getStorage(), &stream.getItemStorage());
    std::string got(data.size() + 5, '\0');
    EXPECT_EQ(stream.readRaw(&got[0], got.size()), data.size());
    got.resize(data.size());
    EXPECT_EQ(got, data);

    stream.getItemStorage().seek64(4, IStorage::eSeekEnd);
    EXPECT_EQ(stream.readU32(),
              uint32_t(data[296] & 0xFF) | uint32_t(data[297] & 0xFF) << 8 | uint32_t(data[298] & 0xFF) << 16 |
                  uint32_t(data[299] & 0xFF) << 24);

    ASSERT_TRUE(stream.open(name("pack.bin"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(stream.getStorage(), &stream.getFileStorage());
}

TEST_F(ContainerStorageTest, PlainFileIsOnePartWithoutSubpath)
{
    store("plain.txt", "just some text");
    FileContainerStorage container;
    ASSERT_TRUE(container.open(name("plain.txt"), IStorage::eAccessRead, kUnlimited));
    std::string text(14, '\0');
    EXPECT_EQ(container.read(&text[0], 14), 14u);
    EXPECT_EQ(text, "just some text");
    EXPECT_EQ(container.getStatus(), IStorage::eStatusEnd);
    EXPECT_FALSE(container.open(name("plain.txt", "<a"), IStorage::eAccessRead, kUnlimited));
    EXPECT_FALSE(container.isOpen());
    EXPECT_FALSE(container.open(name("missing.bin"), IStorage::eAccessRead, kUnlimited));
}

TEST_F(ContainerStorageTest, PartNames)
{
    FileContainerStorage container;
    container.setRootFilePath("Vol:dir:pack.bin");
    EXPECT_EQ(container.getPartName(0), "pack.bin");
    EXPECT_EQ(container.getPartName(2), "pack.part2");
    EXPECT_EQ(container.getPartFilePath(1), "Vol:dir:pack.part1");
    container.setRootFilePath("Vol:dir:.hidden");
    EXPECT_EQ(container.getPartName(0), "");
    container.setRootFilePath("Vol:dir:noext");
    EXPECT_EQ(container.getPartName(0), "noext");
    EXPECT_EQ(container.getPartName(3), "noext.part3");
}

// A container over three part files: the parts record, then one TOC whose
// items run across the part boundaries.
TEST_F(ContainerStorageTest, ItemsAcrossPartFiles)
{
    const std::string big = numbered(400, 'a');
    ContainerWriter writer;
    writer.metaParts(3, 0x1234).toc({{"head", 1, 1, "0123"}, {"big", 2, 1, big}});
    const std::string all = writer.text(); // 256 + 4 * 160 + 404 = 1300 bytes
    const size_t firstEnd = 1000;
    store("multi.bin", all.substr(0, firstEnd));
    store("multi.part1", all.substr(firstEnd, 50));
    store("multi.part2", all.substr(firstEnd + 50));

    FileContainerStorage container;
    ASSERT_TRUE(container.open(name("multi.bin"), IStorage::eAccessRead, kUnlimited));
    EXPECT_EQ(container.getPartCount(), 3u);
    EXPECT_EQ(container.getPartsValue(), 0x1234u);
    EXPECT_EQ(container.getCurrentStorageSize(), int64_t(all.size()));

    struct Position {
        int64_t position;
        bool found;
        int64_t index;
        int64_t start;
    };
    const Position positions[] = {
        {0, true, 0, 0},       {999, true, 0, 0},     {1000, true, 1, 1000}, {1020, true, 1, 1000},
        {1050, true, 2, 1050}, {1299, true, 2, 1050}, {1300, false, 0, 0},
    };
    for (const Position& p : positions) {
        int64_t index = -1;
        int64_t start = -1;
        EXPECT_EQ(container.getPartIndexForPosition(p.position, index, start), p.found) << p.position;
        if (p.found) {
            EXPECT_EQ(index, p.index) << p.position;
            EXPECT_EQ(start, p.start) << p.position;
        }
    }

    FileContainerItemStorage item;
    ASSERT_TRUE(item.open(name("multi.bin", "<big"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(readAll(item, big.size()), big);
    FileContentRange range;
    ASSERT_TRUE(item.getContainer()->getContentRangeOfItem(2u, kAny, range) == false); // an item is open
    FileContainerStorage fresh;
    ASSERT_TRUE(fresh.open(name("multi.bin"), IStorage::eAccessRead, kUnlimited));
    ASSERT_TRUE(fresh.getContentRangeOfItem("big", kAny, range));
    EXPECT_EQ(range.firstPartIndex, 0u);
    EXPECT_EQ(range.offset, 900);
    EXPECT_EQ(range.bytesInFirstPart, 100);
    EXPECT_EQ(range.lastPartIndex, 2u);

    // A missing part file: the part is not there to be read.
    std::filesystem::remove(path("multi.part2"));
    FileContainerStorage damaged;
    EXPECT_FALSE(damaged.open(name("multi.bin"), IStorage::eAccessRead, kUnlimited));
}

TEST_F(ContainerStorageTest, DamagedContainersAreRefusedAtOpen)
{
    ContainerWriter good;
    good.metaText("t").toc({{"a", 1, 1, "0123456789"}, {"b", 2, 1, "abcdef"}}, 0, true);
    const size_t toc = good.tocPositions[0];
    struct Case {
        const char* what;
        size_t at;
        uint64_t value;
        int bytes;
    };
    const Case cases[] = {
        {"huge item count", toc + 16, 0xFFFFFFF0u, 4},
        {"negative data length", toc + 24, uint64_t(-1), 8},
        {"payload of 2^31", 148, 0x80000000u, 4},
        {"payload of 2^32 - 1", 148, 0xFFFFFFFFu, 4},
    };
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good.bytes();
        if (c.bytes == 4)
            ContainerWriter::putU32(bytes, c.at, uint32_t(c.value));
        else
            ContainerWriter::putS64(bytes, c.at, int64_t(c.value));
        files.emplace_back(c.what, bytes);
    }
    for (size_t trailing = 1; trailing < 160; ++trailing) {
        std::vector<uint8_t> bytes = good.bytes();
        bytes.resize(bytes.size() + trailing, 0x5A);
        files.emplace_back("trailing bytes", bytes);
    }
    for (const auto& file : files) {
        SCOPED_TRACE(testing::Message() << file.first << ", size " << file.second.size());
        store("bad.bin", std::string(file.second.begin(), file.second.end()));
        FileContainerStorage container;
        EXPECT_FALSE(container.open(name("bad.bin"), IStorage::eAccessRead, kUnlimited));
        EXPECT_FALSE(FileContainer::isContainerFileContent(name("bad.bin"), "<a"));
        FileContainerItemStorage item;
        EXPECT_FALSE(item.open(name("bad.bin", "<<1>"), IStorage::eAccessRead, IStorage::eLockNone));
    }
}

TEST_F(ContainerStorageTest, RecognisesContainers)
{
    ContainerWriter withMeta;
    withMeta.metaOther(77);
    ContainerWriter tocOnly;
    tocOnly.toc({{"a", 1, 1, "x"}}, 1);
    ContainerWriter torn;
    torn.toc({{"a", 1, 1, "x"}}, 1);
    torn.bytes().resize(600); // version 1 wants 640 header bytes
    struct Case {
        const char* what;
        std::string bytes;
        bool container;
    };
    const Case cases[] = {
        {"meta magic, unknown type", withMeta.text(), true},
        {"version 1 TOC", tocOnly.text(), true},
        {"torn version 1 header", torn.text(), false},
        {"text", std::string(700, 'x'), false},
        {"empty", std::string(), false},
    };
    for (const Case& c : cases) {
        store("probe.bin", c.bytes);
        std::vector<FileContainer::tMetaHeader> headers;
        EXPECT_EQ(FileContainer::isContainerFile(name("probe.bin"), nullptr), c.container) << c.what;
        EXPECT_EQ(FileContainer::isContainerFile(name("probe.bin"), &headers), c.container) << c.what;
    }
}

// Rewriting the meta headers touches each header at its own place and
// nothing else.
TEST_F(ContainerStorageTest, MetadataIsWrittenInPlace)
{
    ContainerWriter writer;
    writer.metaText("first", "P1").metaText("second").metaParts(1, 9).toc({{"a", 1, 1, "item"}});
    const std::string before = writer.text();
    store("meta.bin", before);
    {
        FileContainerStorage container;
        ASSERT_TRUE(container.open(name("meta.bin"), IStorage::eAccessReadWrite, kUnlimited));
        ASSERT_TRUE(container.updateMetadata(7, std::string(40, 'n')));
        EXPECT_EQ(container.getPartsValue(), 7u);
    }
    const std::string after = load("meta.bin");
    ASSERT_EQ(after.size(), before.size());
    FileContainerStorage container;
    ASSERT_TRUE(container.open(name("meta.bin"), IStorage::eAccessRead, kUnlimited));
    const auto& headers = container.getMetaHeaders();
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0].getText(), std::string(32, 'n'));
    EXPECT_EQ(headers[1].getText(), std::string(32, 'n'));
    EXPECT_EQ(headers[2].getValue(), 7u);
    EXPECT_EQ(after.substr(256, 2), "P1");
    EXPECT_EQ(after.substr(writer.tocPositions[0]), before.substr(writer.tocPositions[0]));
    EXPECT_EQ(FileManager::getFileSize(name("meta.bin", "<a")), 4);

    // Without a parts record, none is written over the TOC behind the text.
    ContainerWriter plain;
    plain.metaText("x").toc({{"a", 1, 1, "item"}});
    store("noparts.bin", plain.text());
    {
        FileContainerStorage writable;
        ASSERT_TRUE(writable.open(name("noparts.bin"), IStorage::eAccessReadWrite, kUnlimited));
    }
    EXPECT_EQ(load("noparts.bin"), plain.text());
}

} // namespace

namespace {

// Writing with a maximum part size: the bytes go on into new part files and
// the parts record, at its own place, counts them.
TEST_F(ContainerStorageTest, WritesSpillIntoNewPartFiles)
{
    const std::string data = numbered(500);
    {
        FileContainerStorage container;
        ASSERT_TRUE(container.open(name("out.bin"), IStorage::eAccessWrite, 300));
        container.seek64(256, IStorage::eSeekBegin); // behind the parts record
        ASSERT_EQ(container.getPos64(), 256);
        EXPECT_EQ(container.write64(data.data(), data.size()), data.size());
        container.flush();
    }
    EXPECT_EQ(load("out.bin").size(), 300u);
    EXPECT_EQ(load("out.part1"), data.substr(44, 300));
    EXPECT_EQ(load("out.part2"), data.substr(344));

    FileContainerStorage container;
    ASSERT_TRUE(container.open(name("out.bin"), IStorage::eAccessRead, kUnlimited));
    EXPECT_EQ(container.getPartCount(), 3u);
    ASSERT_EQ(container.getMetaHeaders().size(), 1u);
    EXPECT_EQ(container.getMetaHeaders()[0].getPartCount(), 3u);
    container.seek64(256, IStorage::eSeekBegin);
    std::string back(data.size(), '\0');
    EXPECT_EQ(container.read64(&back[0], back.size()), data.size());
    EXPECT_EQ(back, data);
}

} // namespace
