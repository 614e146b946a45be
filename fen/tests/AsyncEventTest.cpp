#include "FEN/AsyncEventTargetImpl.h"
#include "FEN/COCOA/AsyncNotificationDispatcher.h"
#include "FEN/EventTarget.h"
#include "platform/notifications/Notification.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace CV::FEN;
using COCOA::AsyncNotificationDispatcher;
namespace objc = platform::objc;

class Receiver : public EventTarget {
public:
    bool onEvent(unsigned code, EventData*) override
    {
        codes.push_back(code);
        onMainThread = platform::MainLoop::isMainThread();
        // The table may be used from inside a delivery.
        const unsigned extra = AsyncEventTargetImpl::registerTarget(this);
        AsyncEventTargetImpl::unregisterTarget(extra);
        return code != 0;
    }
    std::vector<unsigned> codes;
    bool onMainThread = false;
};

// The poster's side: one reference for the receiver, posted as the
// notification's object.
id makeCarrier(unsigned code, unsigned handle)
{
    id carrier = objc::NSObject::alloc(AsyncNotificationDispatcher::notificationClass());
    return objc::send<id>(carrier, "initWithCode:andDest:", uint32_t(code), uint32_t(handle));
}

void post(id carrier)
{
    platform::NotificationCenter::defaultCenter().post(AsyncNotificationDispatcher::notificationName(), carrier,
                                                       nullptr);
}

// Runs the main loop until the carrier's count falls back to the test's
// own reference.
bool drained(id carrier)
{
    return platform::MainLoop::instance().runUntil([&] { return objc::NSObject::retainCount(carrier) == 1; },
                                                   std::chrono::seconds(5));
}

class AsyncEventTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AsyncEventTargetImpl::init(false)); }
    void TearDown() override { AsyncEventTargetImpl::deInit(); }
};

TEST_F(AsyncEventTest, ClassesAndNotificationNameAreTheRegisteredOnes)
{
    EXPECT_STREQ(class_getName(AsyncNotificationDispatcher::notificationClass()), "ComCalvarineAsyncNotification");
    EXPECT_STREQ(class_getName(AsyncNotificationDispatcher::dispatcherClass()),
                 "ComCalvarineAsyncNotificationDispatcher");
    EXPECT_EQ(AsyncNotificationDispatcher::notificationName(), "ComCalvarineAsyncNotificationDispatcherNotification");
    EXPECT_TRUE(AsyncNotificationDispatcher::isStarted());
}

TEST_F(AsyncEventTest, EventPostedFromAnotherThreadReachesItsTargetOnTheMainThread)
{
    Receiver receiver;
    const unsigned handle = AsyncEventTargetImpl::registerTarget(&receiver);
    ASSERT_NE(handle, 0u);

    std::vector<id> carriers;
    std::thread poster([&] {
        for (unsigned code : {7u, 8u, 9u}) {
            id carrier = makeCarrier(code, handle);
            objc::NSObject::retain(carrier); // the test's own look at it
            carriers.push_back(carrier);
            post(carrier);
        }
    });
    poster.join();
    for (id carrier : carriers) {
        EXPECT_TRUE(drained(carrier));
        objc::NSObject::release(carrier);
    }
    EXPECT_EQ(receiver.codes, (std::vector<unsigned>{7, 8, 9}));
    EXPECT_TRUE(receiver.onMainThread);
    EXPECT_TRUE(AsyncEventTargetImpl::unregisterTarget(handle));
}

TEST_F(AsyncEventTest, UnknownOrStaleHandleIsDroppedWithBalancedCounts)
{
    Receiver receiver;
    const unsigned handle = AsyncEventTargetImpl::registerTarget(&receiver);
    EXPECT_TRUE(AsyncEventTargetImpl::dispatchEvent(5, handle));
    EXPECT_TRUE(AsyncEventTargetImpl::unregisterTarget(handle));
    EXPECT_FALSE(AsyncEventTargetImpl::unregisterTarget(handle));
    EXPECT_FALSE(AsyncEventTargetImpl::dispatchEvent(5, handle));
    EXPECT_EQ(AsyncEventTargetImpl::registerTarget(nullptr), 0u);

    id carrier = makeCarrier(6, handle);
    objc::NSObject::retain(carrier);
    post(carrier);
    EXPECT_TRUE(drained(carrier));
    objc::NSObject::release(carrier);
    EXPECT_EQ(receiver.codes, (std::vector<unsigned>{5}));
}

TEST_F(AsyncEventTest, StoppedDispatcherReleasesTheReceiversShareExactlyOnce)
{
    Receiver receiver;
    const unsigned handle = AsyncEventTargetImpl::registerTarget(&receiver);
    id dispatcher = objc::NSObject::allocInit(AsyncNotificationDispatcher::dispatcherClass());
    AsyncEventTargetImpl::deInit();
    EXPECT_FALSE(AsyncNotificationDispatcher::isStarted());
    EXPECT_EQ(platform::NotificationCenter::defaultCenter().observerCount(), 0u);

    // A notification that reaches a dispatcher after the stop, and a
    // delivery that was already queued for the main thread.
    for (const char* selectorName : {"receiveEvent:", "dispatchEvent:"}) {
        id carrier = makeCarrier(4, handle);
        objc::NSObject::retain(carrier);
        id notification = platform::Notification::create("any", carrier, nullptr);
        objc::send<void>(dispatcher, selectorName,
                         std::string(selectorName) == "receiveEvent:" ? notification : carrier);
        objc::NSObject::release(notification);
        EXPECT_EQ(objc::NSObject::retainCount(carrier), 1) << selectorName;
        objc::NSObject::release(carrier);
    }
    // A notification without an object is ignored.
    id empty = platform::Notification::create("any", nil, nullptr);
    objc::send<void>(dispatcher, "receiveEvent:", empty);
    objc::NSObject::release(empty);

    EXPECT_TRUE(receiver.codes.empty());
    objc::NSObject::release(dispatcher);
    AsyncEventTargetImpl::unregisterTarget(handle);
}

TEST(AsyncEvent, InitWithTrueStartsNothingAndStillSucceeds)
{
    EXPECT_TRUE(AsyncEventTargetImpl::init(true));
    EXPECT_FALSE(AsyncNotificationDispatcher::isStarted());
    AsyncEventTargetImpl::deInit();
    EXPECT_FALSE(AsyncNotificationDispatcher::isStarted());
}

} // namespace
