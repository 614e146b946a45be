#include "BAS/ResourceStorage.h"
#include "BAS/ResourceStream.h"
#include "StorageScript.h"

#include "platform/cf/CFBundle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using CV::BAS::Endian;
using CV::BAS::IStorage;
using CV::BAS::ResourceStorage;
using CV::BAS::ResourceStream;
using namespace storage_test;

const std::string kPicture128 = std::string("\x12\x34\x56\x78", 4) + "picture 128";

// The test bundle with linked resources PICT 128, PICT -1 and STYL "main".
class ResourceStorageTest : public ::testing::Test {
protected:
    ResourceStorageTest()
    {
        CFURLRef url = platform::cf::URL::createWithPosixPath(VARANTO_TEST_DATA_DIR "/Resources.app", true);
        m_bundle = CFBundleCreate(kCFAllocatorDefault, url);
        CFRelease(url);
    }
    ~ResourceStorageTest() override { CFRelease(m_bundle); }

    void* bundle() const { return const_cast<platform::cf::Bundle*>(m_bundle); }

    CFBundleRef m_bundle = nullptr;
};

std::string contentOf(ResourceStorage& storage)
{
    const auto* bytes = static_cast<const char*>(storage.getData());
    return bytes ? std::string(bytes, storage.getSize()) : "<none>";
}

TEST_F(ResourceStorageTest, FindsLinkedResourcesByIdOrNameAndReportsMissingOnes)
{
    struct Case {
        bool withBundle;
        const char* name; // null: by id
        unsigned int id;
        const char* type;
        std::string content;
        std::string message;
    };
    const Case cases[] = {
        {true, nullptr, 128, "PICTURE", kPicture128, ""}, // the type is the first four characters
        {true, nullptr, 128, "PICT", kPicture128, ""},
        {true, nullptr, 0xFFFF, "PICT", "picture -1", ""}, // ids are 16-bit
        {true, nullptr, 0x10080, "PICT", "<none>", "cannot resolve resource: PICT 65664\n"},
        {true, nullptr, 1000, "TTFd", "<none>", "cannot resolve resource: TTFd 1000\n"},
        {true, nullptr, 128, "PIC", "<none>", "cannot resolve resource: PIC 128\n"},
        {false, nullptr, 128, "PICT", "<none>", "cannot resolve resource: PICT 128\n"},
        {true, "main", 0, "STYLESHEET", "label { color: #123456; }\n", ""},
        {true, "main", 0, "PICTURE", "<none>", "cannot resolve resource: main\n"},
        {true, "other", 0, "STYLESHEET", "<none>", "cannot resolve resource: other\n"},
        {true, "", 0, "STYLESHEET", "<none>", "cannot resolve resource: \n"},
        {true, nullptr, 128, nullptr, "<none>", "cannot resolve resource:  128\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name ? c.name : std::to_string(c.id)) + " " + (c.type ? c.type : "(null)"));
        ResourceStorage storage;
        void* b = c.withBundle ? bundle() : nullptr;
        testing::internal::CaptureStderr();
        const bool found = c.name ? storage.init(b, c.name, c.type) : storage.init(b, c.id, c.type);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
        EXPECT_EQ(found, c.message.empty());
        EXPECT_EQ(contentOf(storage), c.content);
        EXPECT_EQ(storage.getStatus(), found ? kOk : kClosed);
        EXPECT_EQ(storage.getPos64(), found ? 0 : -1);
    }
}

TEST_F(ResourceStorageTest, ReadsAndSeeksGoThroughTheViewWhichIsReadOnly)
{
    ResourceStorage storage;
    ASSERT_TRUE(storage.init(bundle(), 128, "PICT"));
    EXPECT_EQ(storage.getAccessMode(), IStorage::eAccessRead);
    runScript(storage,
              {
                  read(4, 4, kOk, 4),
                  write(1, 0, kError, 4),
                  read(1, 0, kError, 4),
                  seek(-3, kFromEnd, kOk, 12),
                  read(3, 3, kEnd, 15),
                  read(1, 0, kError, 15),
                  seek(1, kFromCurrent, kError, 15),
                  seek(16, kFromBegin, kError, 15),
                  seek(15, kFromBegin, kEnd, 15),
              },
              kPicture128);
}

TEST_F(ResourceStorageTest, AClosedStorageRefusesEverythingAndASecondInitReplacesTheResource)
{
    ResourceStorage storage;
    runScript(storage, {read(1, 0, kClosed, -1), write(1, 0, kClosed, -1), seek(0, kFromBegin, kClosed, -1)}, "");
    ASSERT_TRUE(storage.init(bundle(), 128, "PICT"));
    ASSERT_TRUE(storage.init(bundle(), "main", "STYL"));
    EXPECT_EQ(contentOf(storage), "label { color: #123456; }\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(storage.init(bundle(), 1, "PICT"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(storage.getStatus(), kClosed);
    EXPECT_EQ(contentOf(storage), "<none>");
}

TEST_F(ResourceStorageTest, ResourceStreamsReadTypedValuesFromTheResource)
{
    ResourceStream stream;
    EXPECT_EQ(stream.getStorage(), &stream.getResourceStorage());
    EXPECT_EQ(stream.getByteOrder(), Endian::eLittleEndian);
    ASSERT_TRUE(stream.init(bundle(), 128, "PICTURE"));
    stream.setByteOrder(Endian::eBigEndian);
    EXPECT_EQ(stream.readU32(), 0x12345678u);
    EXPECT_EQ(stream.readU8(), 'p');

    ResourceStream named;
    ASSERT_TRUE(named.init(bundle(), "main", "STYLESHEET"));
    char text[6] = {};
    EXPECT_EQ(named.readRaw(text, 5), 5u);
    EXPECT_STREQ(text, "label");
}

} // namespace
