#include "BAS/FileStorage.h"
#include "BAS/FileName.h"
#include "BAS/FileStream.h"
#include "BAS/FileTypeManager.h"
#include "BAS/RangeLimitingStorage.h"
#include "StorageScript.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <boost/filesystem/path.hpp>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

using CV::BAS::Endian;
using CV::BAS::FileName;
using CV::BAS::FileStorage;
using CV::BAS::FileStream;
using CV::BAS::FileTypeManager;
using CV::BAS::IStorage;
using CV::BAS::RangeLimitingStorage;
using namespace storage_test;

// A temporary folder with a file "ten.bin" of ten numbered bytes.
class FileStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        m_folder = m_temporary.string();
        std::ofstream(path("ten.bin"), std::ios::binary) << numberedBytes(10);
    }
    void TearDown() override { FileTypeManager::deInit(); }

    std::string path(const std::string& leaf) const { return m_folder + "/" + leaf; }
    // A name of a file in the folder, carrying a type as callers that create
    // files give it.
    FileName name(const std::string& leaf) const
    {
        FileName fileName(boost::filesystem::path(path(leaf)));
        fileName.setType(FileTypeManager::getStdType(FileTypeManager::eUnknown));
        return fileName;
    }
    std::string contentOf(const std::string& leaf) const
    {
        std::ifstream file(path(leaf), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& leaf) const { return std::filesystem::exists(path(leaf)); }

    CV::test::TemporaryFolder m_temporary{"file-storage-test"};
    std::string m_folder;
};

TEST_F(FileStorageTest, ReadingAFileSetsStatusAndPositionAsItGoes)
{
    FileStorage storage;
    ASSERT_TRUE(storage.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(storage.getStatus(), kOk);
    EXPECT_EQ(storage.getFileSize(), 10);
    runScript(storage,
              {
                  read(4, 4, kOk, 4), read(6, 6, kOk, 10), read(1, 0, kError, 10), // past the end
                  read(1, 0, kError, 10), // refused while in error
                  seek(-1, kFromCurrent, kError, 10), // refused while in error
                  seek(0, kFromBegin, kOk, 0), // a good seek clears the error
                  seek(-1, kFromEnd, kOk, 9), read(4, 1, kError, 10), // short: the bytes it got
                  seek(-1, kFromBegin, kError, 10), seek(3, kFromBegin, kOk, 3), seek(2, kFromCurrent, kOk, 5),
                  seek(0, kFromEnd, kOk, 10), write(1, 0, kError, 10), // opened for reading
              },
              numberedBytes(10));
    storage.close();
    runScript(storage, {read(1, 0, kClosed, -1), write(1, 0, kClosed, -1), seek(0, kFromCurrent, kClosed, -1)}, "");
    EXPECT_TRUE(storage.getFileName().full.empty());
}

TEST_F(FileStorageTest, WritingCreatesOrTruncatesAndReadWriteTurnsBetweenBoth)
{
    FileStorage created;
    ASSERT_TRUE(created.open(name("new.bin"), IStorage::eAccessWrite, IStorage::eLockNone));
    runScript(created, {write(6, 6, kOk, 6), seek(2, kFromBegin, kOk, 2), write(2, 2, kOk, 4)}, "");
    created.close();
    EXPECT_EQ(contentOf("new.bin"), "wxwxwx");

    FileStorage truncated;
    ASSERT_TRUE(truncated.open(name("ten.bin"), IStorage::eAccessWrite, IStorage::eLockNone));
    EXPECT_EQ(truncated.getFileSize(), 0);
    truncated.close();
    EXPECT_EQ(contentOf("ten.bin"), "");

    std::ofstream(path("rw.bin"), std::ios::binary) << numberedBytes(10);
    FileStorage both;
    ASSERT_TRUE(both.open(name("rw.bin"), IStorage::eAccessReadWrite, IStorage::eLockNone));
    runScript(both,
              {read(2, 2, kOk, 2), write(3, 3, kOk, 5), read(2, 2, kOk, 7), write(3, 3, kOk, 10),
               seek(0, kFromBegin, kOk, 0), read(10, 10, kOk, 10)},
              numberedBytes(10));
    both.close();
    EXPECT_EQ(contentOf("rw.bin"), "01wxy56wxy");

    FileStorage fresh;
    ASSERT_TRUE(fresh.open(name("fresh.bin"), IStorage::eAccessReadWrite, IStorage::eLockNone));
    runScript(fresh, {write(2, 2, kOk, 2), seek(0, kFromBegin, kOk, 0), read(3, 2, kError, 2)}, "wx");
}

TEST_F(FileStorageTest, FailedOpensLeaveTheStorageClosedOrInErrorUntilClosed)
{
    FileName noType = name("typeless.bin");
    noType.setType(nullptr);
    const FileName folder(boost::filesystem::path(m_folder + "/"));
    ASSERT_EQ(::mkfifo(path("fifo.bin").c_str(), 0600), 0);
    std::filesystem::create_directory(path("folder.bin"));
    struct Case {
        const char* what;
        FileName name;
        int mode;
        int32_t status;
        const char* leftBehind; // a file that must not exist afterwards
    };
    const Case cases[] = {
        {"missing file", name("missing.bin"), IStorage::eAccessRead, kError, "missing.bin"},
        // Neither waits for a writer nor reads what is no file.
        {"read a fifo", name("fifo.bin"), IStorage::eAccessRead, kError, nullptr},
        {"read a folder", name("folder.bin"), IStorage::eAccessRead, kError, nullptr},
        {"read a device", FileName(boost::filesystem::path("/dev/zero")), IStorage::eAccessRead, kError, nullptr},
        {"write without type", noType, IStorage::eAccessWrite, kClosed, "typeless.bin"},
        {"write to a folder name", folder, IStorage::eAccessWrite, kClosed, nullptr},
        {"unknown access mode", name("ten.bin"), 0, kClosed, nullptr},
        {"unknown access mode", name("four.bin"), 4, kClosed, "four.bin"},
        {"read-write in a missing folder", name("none/x.bin"), IStorage::eAccessReadWrite, kError, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileStorage storage;
        EXPECT_FALSE(storage.open(c.name, static_cast<IStorage::eAccessMode>(c.mode), IStorage::eLockNone));
        EXPECT_EQ(storage.getStatus(), c.status);
        EXPECT_EQ(storage.isOpen(), c.status != kClosed);
        EXPECT_EQ(storage.getPos64(), -1);
        storage.seek64(0, IStorage::eSeekBegin); // no file to seek in
        EXPECT_EQ(storage.getStatus(), kError);
        storage.close();
        EXPECT_EQ(storage.getStatus(), kClosed);
        EXPECT_FALSE(c.leftBehind && exists(c.leftBehind));
    }
    EXPECT_EQ(contentOf("ten.bin"), numberedBytes(10));
}

TEST_F(FileStorageTest, ExclusiveLocksConflictBetweenStoragesOnOneFile)
{
    FileStorage first, second, unlocked;
    ASSERT_TRUE(first.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait));
    EXPECT_TRUE(first.isLocked());
    EXPECT_FALSE(second.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait));
    EXPECT_EQ(second.getStatus(), kError);
    EXPECT_TRUE(unlocked.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockNone)) << "locks are advisory";

    // Opening the first storage on another file lets go of the lock.
    ASSERT_TRUE(first.open(name("other.bin"), IStorage::eAccessReadWrite, IStorage::eLockExclusiveNoWait));
    EXPECT_TRUE(second.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait));

    std::atomic<bool> opened{false};
    std::thread waiter([&] {
        FileStorage third;
        opened = third.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockExclusiveWait);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(opened) << "the waiting open did not wait for the lock";
    second.close();
    waiter.join();
    EXPECT_TRUE(opened);
}

TEST_F(FileStorageTest, AWindowOverAFileShowsOnlyItsRange)
{
    FileStorage file;
    ASSERT_TRUE(file.open(name("ten.bin"), IStorage::eAccessReadWrite, IStorage::eLockNone));
    RangeLimitingStorage window;
    ASSERT_TRUE(window.open(&file, false, 4, 3));
    EXPECT_EQ(file.getPos64(), 4);
    runScript(window,
              {
                  read(2, 2, kOk, 2),
                  read(2, 1, kError, 3), // cut at the window's end, and said so
                  seek(0, kFromBegin, kOk, 0),
                  read(3, 3, kEnd, 3),
                  seek(1, kFromEnd, kOk, 2),
                  write(4, 1, kError, 3), // clipped to the window
                  seek(4, kFromEnd, kError, 3),
                  seek(0, kFromBegin, kOk, 0),
                  read(3, 3, kEnd, 3),
              },
              numberedBytes(10).substr(4, 3));
    file.close();
    EXPECT_EQ(contentOf("ten.bin"), "012345w789");

    FileStorage whole;
    ASSERT_TRUE(whole.open(name("ten.bin"), IStorage::eAccessRead, IStorage::eLockNone));
    RangeLimitingStorage unbounded;
    ASSERT_TRUE(unbounded.open(&whole, false, 6, 0));
    runScript(unbounded,
              {seek(1, kFromEnd, kOk, 3), read(2, 1, kError, 4), seek(0, kFromBegin, kOk, 0), read(4, 4, kOk, 4)},
              "w789");
}

TEST_F(FileStorageTest, FileStreamsWriteAndReadTypedValuesAndCloseWhenDestroyed)
{
    for (Endian::eByteOrder order : {Endian::eLittleEndian, Endian::eBigEndian}) {
        {
            FileStream stream;
            EXPECT_EQ(stream.getStorage(), &stream.getFileStorage());
            EXPECT_EQ(stream.getByteOrder(), Endian::eLittleEndian);
            stream.setByteOrder(order);
            ASSERT_TRUE(stream.getFileStorage().open(name("typed.bin"), IStorage::eAccessReadWrite,
                                                     IStorage::eLockExclusiveNoWait));
            stream.writeU32(0x01020304u);
            stream.writeS32(-2);
            stream.writeBoolean(true);
            stream.getStorage()->seek64(0, IStorage::eSeekBegin);
            EXPECT_EQ(stream.readU32(), 0x01020304u);
            EXPECT_EQ(stream.readS32(), -2);
            EXPECT_TRUE(stream.readBoolean());
            EXPECT_EQ(stream.getStorage()->getStatus(), kOk);
        }
        const std::string expected = order == Endian::eLittleEndian
            ? std::string("\x04\x03\x02\x01\xFE\xFF\xFF\xFF\x01", 9)
            : std::string("\x01\x02\x03\x04\xFF\xFF\xFF\xFE\x01", 9);
        EXPECT_EQ(contentOf("typed.bin"), expected);
        FileStorage after;
        EXPECT_TRUE(after.open(name("typed.bin"), IStorage::eAccessRead, IStorage::eLockExclusiveNoWait))
            << "the stream kept its lock";
    }
}

} // namespace
