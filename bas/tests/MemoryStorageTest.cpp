#include "BAS/MemoryStorage.h"
#include "StorageScript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using CV::BAS::IStorage;
using CV::BAS::MemoryStorage;
using namespace storage_test;

TEST(MemoryStorageTest, StatusAndPositionFollowReadsWritesAndSeeksOverABlockOfTen)
{
    std::string block = numberedBytes(10);
    const std::string original = block;
    MemoryStorage storage;
    ASSERT_TRUE(storage.init(IStorage::eAccessReadWrite, &block[0], block.size()));
    EXPECT_EQ(storage.getStatus(), kOk);
    runScript(storage,
              {
                  read(4, 4, kOk, 4),
                  read(6, 6, kEnd, 10), // the last byte reached
                  read(0, 0, kEnd, 10), // the end does not stop reads
                  read(1, 0, kError, 10), // past the end
                  read(1, 0, kError, 10), // refused while in error
                  seek(-1, kFromCurrent, kError, 10), // refused while in error
                  seek(0, kFromBegin, kOk, 0), // a good seek clears the error
                  seek(10, kFromBegin, kEnd, 10),
                  seek(11, kFromBegin, kError, 10),
                  seek(-1, kFromEnd, kOk, 9),
                  read(4, 1, kError, 10), // short: what is left, then error
                  seek(2, kFromBegin, kOk, 2),
                  seek(3, kFromCurrent, kOk, 5),
                  seek(-6, kFromCurrent, kError, 5),
                  seek(1, kFromEnd, kError, 5),
                  seek(-11, kFromEnd, kError, 5),
                  seek(0, kFromEnd, kEnd, 10),
                  seek(7, static_cast<IStorage::eSeekMode>(5), kEnd, 10), // unknown origin: stays
                  seek(1, kFromBegin, kOk, 1),
                  write(3, 3, kOk, 4),
                  read(2, 2, kOk, 6),
                  write(4, 4, kEnd, 10),
                  seek(8, kFromBegin, kOk, 8),
                  write(5, 2, kError, 10), // clipped at the end of the block
              },
              original);
    EXPECT_EQ(block, "0wxy45wxwx");
}

TEST(MemoryStorageTest, ReadOnlyBlocksRefuseWritesAndClosedStoragesRefuseEverything)
{
    std::string block = "abc";
    MemoryStorage readOnly;
    readOnly.init(IStorage::eAccessRead, &block[0], block.size());
    runScript(readOnly, {write(1, 0, kError, 0), seek(0, kFromBegin, kOk, 0), read(3, 3, kEnd, 3)}, block);
    EXPECT_EQ(block, "abc");

    MemoryStorage closed;
    EXPECT_FALSE(closed.isOpen());
    runScript(closed,
              {read(1, 0, kClosed, -1), write(1, 0, kClosed, -1), seek(0, kFromBegin, kClosed, -1),
               seek(0, kFromEnd, kClosed, -1)},
              "");
}

TEST(MemoryStorageTest, InitPointsTheStorageAtAnotherBlock)
{
    std::string first = "first", second = "2nd";
    MemoryStorage storage;
    storage.init(IStorage::eAccessRead, &first[0], first.size());
    storage.seek64(0, IStorage::eSeekEnd);
    storage.init(IStorage::eAccessRead, &second[0], second.size());
    runScript(storage, {read(3, 3, kEnd, 3)}, second);

    MemoryStorage empty;
    empty.init(IStorage::eAccessRead, nullptr, 0);
    runScript(empty, {seek(0, kFromBegin, kEnd, 0), read(1, 0, kError, 0)}, "");
}

} // namespace
