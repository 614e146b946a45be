#include "BAS/TLS.h"

#include <gtest/gtest.h>

namespace {

using CV::BAS::TLS;

TEST(TLSTest, SecondInitKeepsTheKeyAndDeInitDeletesIt)
{
    TLS::init();
    ASSERT_TRUE(TLS::m_bIsInit);
    const pthread_key_t key = TLS::m_aThreadFlagKey;
    // The key works: a value stored under it reads back on this thread.
    int marker = 0;
    ASSERT_EQ(pthread_setspecific(key, &marker), 0);
    EXPECT_EQ(pthread_getspecific(key), &marker);

    TLS::init();
    EXPECT_EQ(TLS::m_aThreadFlagKey, key);

    TLS::deInit();
    EXPECT_FALSE(TLS::m_bIsInit);
    EXPECT_EQ(TLS::m_aThreadFlagKey, 0u);
    TLS::deInit(); // nothing left to stop
    EXPECT_FALSE(TLS::m_bIsInit);
}

} // namespace
