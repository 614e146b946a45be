#include "BAS/Registry.h"
#include "BAS/Autolock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

namespace {

using CV::BAS::Registry;
using CV::BAS::DETAIL::Autolock;

// Whether another thread could take the library mutex right now.
bool mutexIsFree()
{
    return std::async(std::launch::async,
                      [] {
                          if (!Autolock::s_mutex.try_lock())
                              return false;
                          Autolock::s_mutex.unlock();
                          return true;
                      })
        .get();
}

struct Calls {
    int gets = 0;
    int closes = 0;
    int deletes = 0;
    bool lockedDuringClose = false;
};

class FakeRegistry : public Registry::Impl {
public:
    explicit FakeRegistry(Calls& calls)
        : calls_(calls)
    {
    }
    ~FakeRegistry() override { ++calls_.deletes; }

    bool get(const char* key, std::vector<std::string>& values, Registry::eGetMode mode) override
    {
        ++calls_.gets;
        if (std::string(key) == "throw")
            throw std::runtime_error("broken store");
        if (std::string(key) != "AppleLanguages" || mode != 2)
            return false;
        values = {"de", "en"};
        return true;
    }
    void close() override
    {
        ++calls_.closes;
        calls_.lockedDuringClose = !mutexIsFree();
    }

private:
    Calls& calls_;
};

const auto kListMode = static_cast<Registry::eGetMode>(2);

TEST(RegistryTest, WithoutImplementationNothingIsFoundAndDeInitTakesNoLock)
{
    ASSERT_EQ(Registry::s_pImpl, nullptr);
    std::vector<std::string> values{"kept"};
    EXPECT_FALSE(Registry::get("AppleLanguages", values, kListMode));
    EXPECT_EQ(values, std::vector<std::string>{"kept"});

    // Another thread holds the mutex: a deInit that locked would wait for it.
    std::promise<void> held, done;
    std::thread holder([&] {
        Autolock lock;
        held.set_value();
        done.get_future().wait();
    });
    held.get_future().wait();
    auto stopped = std::async(std::launch::async, [] { return Registry::deInit(); });
    const bool finished = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    done.set_value();
    holder.join();
    EXPECT_TRUE(finished);
    EXPECT_TRUE(stopped.get());
}

TEST(RegistryTest, ImplementationIsUsedUnderTheLockAndClosedBeforeDeletion)
{
    Calls calls;
    Registry::s_pImpl = new FakeRegistry(calls);

    std::vector<std::string> values;
    EXPECT_TRUE(Registry::get("AppleLanguages", values, kListMode));
    EXPECT_EQ(values, (std::vector<std::string>{"de", "en"}));
    EXPECT_FALSE(Registry::get("Other", values, kListMode));
    EXPECT_THROW(Registry::get("throw", values, kListMode), std::runtime_error);
    EXPECT_TRUE(mutexIsFree()); // released although the implementation threw
    EXPECT_EQ(calls.gets, 3);

    EXPECT_TRUE(Registry::deInit());
    EXPECT_EQ(calls.closes, 1);
    EXPECT_EQ(calls.deletes, 1);
    EXPECT_TRUE(calls.lockedDuringClose);
    EXPECT_EQ(Registry::s_pImpl, nullptr);
    EXPECT_TRUE(mutexIsFree());
}

} // namespace
