#include "BAS/RegularAllocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <new>
#include <random>
#include <thread>
#include <vector>

using CV::BAS::DA::RegularAllocator;
using CV::BAS::DETAIL::CriticalSectionRecord;

namespace {

constexpr size_t kRecordSize = 32;
constexpr size_t kStride = 40;

// A pool whose packet requests can be made to fail or to run code while the
// pool's lock is held, and that counts what goes back to the heap.
class ProbePool : public RegularAllocator {
public:
    enum class PacketSupply { Normal, Throws, ReturnsNull };

    ~ProbePool() override { stop(); }

    void* allocatePacket(size_t bytes) override
    {
        if (onPacketRequest)
            onPacketRequest();
        if (supply == PacketSupply::Throws)
            throw std::bad_alloc();
        if (supply == PacketSupply::ReturnsNull)
            return nullptr;
        return RegularAllocator::allocatePacket(bytes);
    }
    void deallocatePacket(void* packet) override
    {
        ++packetsReturned;
        RegularAllocator::deallocatePacket(packet);
    }

    PacketSupply supply = PacketSupply::Normal;
    std::function<void()> onPacketRequest;
    int packetsReturned = 0;
};

std::vector<void*> allocateRecords(RegularAllocator& pool, size_t count)
{
    std::vector<void*> records;
    for (size_t i = 0; i < count; ++i)
        records.push_back(pool.allocate(kRecordSize));
    return records;
}

void freeRecords(RegularAllocator& pool, const std::vector<void*>& records)
{
    for (void* record : records)
        pool.deallocate(record);
}

struct GrowthCase {
    const char* pool;
    size_t firstSlots;
    size_t cap;
    size_t firstPacketBytes;
    std::vector<size_t> packetSequence; // slot counts of successive packets
};

class PoolGrowth : public testing::TestWithParam<GrowthCase> { };

TEST_P(PoolGrowth, FirstPacketBytesAndDoublingUpToTheCap)
{
    const GrowthCase& c = GetParam();
    ProbePool pool;
    pool.start(kRecordSize, c.firstSlots, c.cap);
    EXPECT_EQ(pool.slotStride(), kStride);
    EXPECT_EQ(pool.packetBytes(), c.firstPacketBytes);
    for (size_t i = 1; i < c.packetSequence.size(); ++i)
        ASSERT_NE(pool.allocNewPacket(), nullptr);
    EXPECT_EQ(pool.packetSlotCounts(), c.packetSequence);
}

INSTANTIATE_TEST_SUITE_P(Pools, PoolGrowth,
                         testing::Values(GrowthCase{"criticalSections", 40, 512, 1656, {40, 80, 160, 320, 512, 512}},
                                         GrowthCase{"regionItems", 8192, 6710886, 327736, {8192, 16384, 32768, 65536}},
                                         GrowthCase{"smallCap", 3, 5, 3 * kStride + 56, {3, 5, 5}}),
                         [](const testing::TestParamInfo<GrowthCase>& info) { return std::string(info.param.pool); });

TEST(RegularAllocator, FreshPacketHandsOutRecordsDownwards40BytesApart)
{
    ProbePool pool;
    pool.start(kRecordSize, 40, 512);
    std::vector<void*> records = allocateRecords(pool, 40);
    for (size_t i = 1; i < records.size(); ++i)
        EXPECT_EQ(static_cast<char*>(records[i - 1]) - static_cast<char*>(records[i]), ptrdiff_t(kStride));
    EXPECT_EQ(pool.packetSlotCounts().size(), 1u);
    freeRecords(pool, records);
}

TEST(RegularAllocator, EmptiedSecondPacketGoesBackAtOnceAndFirstStays)
{
    ProbePool pool;
    pool.start(kRecordSize, 8192, 6710886);
    std::vector<void*> records = allocateRecords(pool, 8193);
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{8192, 16384}));
    EXPECT_EQ(pool.nextPacketSlots(), 32768u);

    pool.deallocate(records.back());
    records.pop_back();
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{8192}));
    EXPECT_EQ(pool.packetsReturned, 1);
    EXPECT_EQ(pool.packetBytes(), 327736u);
    EXPECT_EQ(pool.nextPacketSlots(), 16384u) << "the next packet is as large as the one freed";

    freeRecords(pool, records);
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{8192}));
    EXPECT_EQ(pool.allocate(kRecordSize), records.back()) << "the slot freed last is reused first";
    pool.deallocate(records.back());
    pool.deallocate(nullptr);
    EXPECT_EQ(pool.usedSlotCount(), 0u);
}

TEST(RegularAllocator, RefilledPacketQueuesBehindPacketsWithFreeSlots)
{
    ProbePool pool;
    pool.start(kRecordSize, 2, 4);
    std::vector<void*> records = allocateRecords(pool, 3); // first packet full, one record in the second
    pool.deallocate(records[0]);
    void* next = pool.allocate(kRecordSize);
    EXPECT_EQ(static_cast<char*>(next), static_cast<char*>(records[2]) - kStride)
        << "the second packet, which had free slots first, serves first";
    records.push_back(next);
    freeRecords(pool, {records[1], records[2], records[3]});
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{2}));
}

struct FailureCase {
    const char* name;
    ProbePool::PacketSupply supply;
};

class PacketFailure : public testing::TestWithParam<FailureCase> { };

TEST_P(PacketFailure, ThrowsBadAllocAndReleasesTheLock)
{
    ProbePool pool;
    pool.start(kRecordSize, 2, 4);
    std::vector<void*> records = allocateRecords(pool, 2);
    pool.supply = GetParam().supply;
    EXPECT_THROW(pool.allocate(kRecordSize), std::bad_alloc);
    EXPECT_EQ(pool.lockRecord().lockCount(), 0);
    EXPECT_FALSE(pool.lockRecord().isHeldByCallingThread());

    pool.supply = ProbePool::PacketSupply::Normal;
    void* fromOtherThread = nullptr;
    std::thread other([&] { fromOtherThread = pool.allocate(kRecordSize); });
    other.join();
    EXPECT_NE(fromOtherThread, nullptr);
    records.push_back(fromOtherThread);
    freeRecords(pool, records);
}

TEST_P(PacketFailure, MissingFirstPacketIsMadeByTheFirstAllocation)
{
    ProbePool pool;
    pool.supply = GetParam().supply;
    pool.start(kRecordSize, 4, 8);
    EXPECT_TRUE(pool.isConfigured());
    EXPECT_TRUE(pool.packetSlotCounts().empty());
    pool.supply = ProbePool::PacketSupply::Normal;
    void* record = pool.allocate(kRecordSize);
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{4}));
    pool.deallocate(record);
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{4})) << "the first packet stays";
}

INSTANTIATE_TEST_SUITE_P(Supplies, PacketFailure,
                         testing::Values(FailureCase{"throws", ProbePool::PacketSupply::Throws},
                                         FailureCase{"returnsNull", ProbePool::PacketSupply::ReturnsNull}),
                         [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(RegularAllocator, OwnerReentersFromInsideAnAllocation)
{
    ProbePool pool;
    pool.start(kRecordSize, 2, 4);
    std::vector<void*> records = allocateRecords(pool, 2);
    void* insideRecord = nullptr;
    pool.onPacketRequest = [&] {
        if (insideRecord)
            return;
        EXPECT_TRUE(pool.lockRecord().isHeldByCallingThread());
        pool.deallocate(records[0]);
        insideRecord = pool.allocate(kRecordSize);
    };
    void* outsideRecord = pool.allocate(kRecordSize);
    EXPECT_EQ(insideRecord, records[0]);
    EXPECT_EQ(pool.lockRecord().lockCount(), 0);
    pool.deallocate(outsideRecord);
    pool.deallocate(insideRecord);
    pool.deallocate(records[1]);
}

TEST(CriticalSectionRecord, IsRecursiveForItsOwnerAndExcludesOthers)
{
    CriticalSectionRecord lock{};
    lock.createSemaphore();
    lock.lock();
    lock.lock();
    EXPECT_EQ(lock.recursion(), 2u);
    lock.unlock();
    EXPECT_TRUE(lock.isHeldByCallingThread());

    std::atomic<bool> otherGotIt{false};
    std::thread other([&] {
        lock.lock();
        otherGotIt = true;
        lock.unlock();
    });
    while (lock.lockCount() < 2)
        std::this_thread::yield(); // the other thread now waits on the semaphore
    EXPECT_FALSE(otherGotIt);
    lock.unlock();
    other.join();
    EXPECT_TRUE(otherGotIt);
    EXPECT_EQ(lock.lockCount(), 0);
    lock.destroySemaphore();
    EXPECT_FALSE(lock.isSemaphoreCreated());
}

// Several threads allocate and free records at random; every record carries
// its owner's mark, so two threads handed the same slot are caught.
TEST(RegularAllocator, ConcurrentUseHandsEachSlotToOneOwner)
{
    ProbePool pool;
    pool.start(kRecordSize, 40, 512);
    constexpr int kThreads = 8;
    constexpr int kSteps = 20000;
    std::atomic<int> corrupted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(1234u + unsigned(t));
            std::vector<unsigned char*> mine;
            for (int step = 0; step < kSteps; ++step) {
                if (mine.empty() || random() % 3 != 0) {
                    auto* record = static_cast<unsigned char*>(pool.allocate(kRecordSize));
                    std::memset(record, t + 1, kRecordSize);
                    mine.push_back(record);
                } else {
                    size_t index = random() % mine.size();
                    unsigned char* record = mine[index];
                    for (size_t i = 0; i < kRecordSize; ++i)
                        if (record[i] != t + 1)
                            ++corrupted;
                    pool.deallocate(record);
                    mine[index] = mine.back();
                    mine.pop_back();
                }
            }
            for (unsigned char* record : mine)
                pool.deallocate(record);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(corrupted.load(), 0);
    EXPECT_EQ(pool.usedSlotCount(), 0u);
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{40}));
    EXPECT_EQ(pool.lockRecord().lockCount(), 0);
}

// Neither pool sets flags; a pool configured by hand shows what they do.
TEST(RegularAllocator, FlagsAlignSlotsOrForbidFurtherPackets)
{
    using Base = CV::BAS::DETAIL::RegularAllocatorBase;
    {
        ProbePool aligned;
        aligned.lockRecord().createSemaphore();
        aligned.configure(kRecordSize, 4, 8, Base::eFlagAlignSlots32);
        ASSERT_NE(aligned.allocNewPacket(), nullptr);
        aligned.setConfigured();
        EXPECT_EQ(aligned.packetBytes(), 4 * kStride + 56 + 24);
        std::vector<void*> records = allocateRecords(aligned, 4);
        auto firstSlot = reinterpret_cast<uintptr_t>(records.back()) - 8;
        EXPECT_EQ(firstSlot % 32, 0u);
        freeRecords(aligned, records);
    }
    {
        ProbePool single;
        single.lockRecord().createSemaphore();
        single.configure(kRecordSize, 2, 8, Base::eFlagSinglePacket);
        ASSERT_NE(single.allocNewPacket(), nullptr);
        single.setConfigured();
        std::vector<void*> records = allocateRecords(single, 2);
        EXPECT_THROW(single.allocate(kRecordSize), std::bad_alloc);
        EXPECT_EQ(single.lockRecord().lockCount(), 0);
        freeRecords(single, records);
    }
}

TEST(RegularAllocator, RestartAfterStopConfiguresAgain)
{
    ProbePool pool;
    pool.start(kRecordSize, 40, 512);
    pool.start(kRecordSize, 8, 16); // already configured: sizes stay
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{40}));
    pool.stop();
    EXPECT_FALSE(pool.isConfigured());
    EXPECT_EQ(pool.packetsReturned, 1);
    pool.start(kRecordSize, 8, 16);
    EXPECT_EQ(pool.packetSlotCounts(), (std::vector<size_t>{8}));
}

#ifdef NDEBUG
TEST(RegularAllocator, StopKeepsPacketsWhoseRecordsAreStillInUse)
{
    ProbePool pool;
    pool.start(kRecordSize, 2, 4);
    std::vector<void*> records = allocateRecords(pool, 3); // packets of 2 and 4 slots
    pool.deallocate(records[0]);
    pool.deallocate(records[1]); // the first packet is empty now, the second is not
    pool.stop();
    EXPECT_EQ(pool.packetsReturned, 1);
    EXPECT_FALSE(pool.isConfigured());

    std::memset(records[2], 0xAB, kRecordSize); // the late record is still valid memory
    pool.deallocate(records[2]);
    EXPECT_EQ(pool.packetsReturned, 2) << "the kept packet goes back with its last record";
}
#else
TEST(RegularAllocatorDeathTest, StopAssertsThatNoRecordIsInUse)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            ProbePool pool;
            pool.start(kRecordSize, 2, 4);
            pool.allocate(kRecordSize);
            pool.stop();
        },
        "still in use");
}
#endif

} // namespace
