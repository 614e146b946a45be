#include "BAS/Authentication.h"
#include "BAS/CriticalSection.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

namespace {

using CV::BAS::Authentication;
using CV::BAS::CriticalSection;
namespace DETAIL = CV::BAS::DETAIL;

TEST(AuthenticationTest, TakesOneRecordFromThePoolAndReturnsIt)
{
    ASSERT_TRUE(CriticalSection::staticInit());
    EXPECT_EQ(CriticalSection::s_heap.packetSlotCounts(), std::vector<size_t>{40});
    EXPECT_EQ(CriticalSection::s_heap.packetBytes(), 1656u);

    ASSERT_TRUE(Authentication::init());
    EXPECT_EQ(Authentication::s_bProcessElevated, geteuid() == 0 && getuid() == 0);
    DETAIL::CriticalSectionRecord* record = DETAIL::s_critSection;
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->isSemaphoreCreated());
    EXPECT_EQ(CriticalSection::s_heap.usedSlotCount(), 1u);
    record->lock();
    record->lock();
    EXPECT_TRUE(record->isHeldByCallingThread());
    record->unlock();
    record->unlock();
    EXPECT_FALSE(record->isHeldByCallingThread());

    // A second start is refused and takes no second record.
    EXPECT_FALSE(Authentication::init());
    EXPECT_EQ(DETAIL::s_critSection, record);
    EXPECT_EQ(CriticalSection::s_heap.usedSlotCount(), 1u);

    Authentication::deInit();
    EXPECT_FALSE(Authentication::s_bInited);
    EXPECT_EQ(DETAIL::s_critSection, nullptr);
    EXPECT_EQ(CriticalSection::s_heap.usedSlotCount(), 0u);
    Authentication::deInit(); // nothing left to stop

    // Started again, it takes the slot it gave back.
    ASSERT_TRUE(Authentication::init());
    EXPECT_EQ(DETAIL::s_critSection, record);
    Authentication::deInit();

    CriticalSection::staticDeInit();
    EXPECT_TRUE(CriticalSection::s_heap.packetSlotCounts().empty());
    CriticalSection::staticDeInit(); // a stopped pool stays stopped
}

} // namespace
