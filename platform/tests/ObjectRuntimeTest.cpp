#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

using namespace platform::objc;

namespace {

// A class built the way the run-time class factories build theirs: a
// subclass of the stand-in root with its own variables and methods.
struct Counter {
    static int s_deallocs;

    static Class cls()
    {
        static Class s_class = build();
        return s_class;
    }

    static Class build()
    {
        Class c = objc_allocateClassPair(ObjectRuntime::lookUpClass("NSObject"), "TestCounter", 0);
        class_addIvar(c, "count", sizeof(std::uint32_t), 2, "I");
        class_addIvar(c, "owner", sizeof(void*), 3, "^v");
        class_addMethod(c, sel_registerName("init"), toIMP(&init), "@@:");
        class_addMethod(c, sel_registerName("addTo:"), toIMP(&addTo), "I@:I");
        class_addMethod(c, sel_registerName("dealloc"), toIMP(&dealloc), "v@:");
        objc_registerClassPair(c);
        return c;
    }

    static std::uint32_t& count(id self)
    {
        Ivar ivar = class_getInstanceVariable(object_getClass(self), "count");
        return *reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(self) + ivar_getOffset(ivar));
    }

    static id init(id self, SEL sel)
    {
        self = sendSuper<id>(self, cls(), sel);
        count(self) = 40;
        return self;
    }

    static std::uint32_t addTo(id self, SEL, std::uint32_t amount) { return count(self) += amount; }

    static void dealloc(id self, SEL sel)
    {
        ++s_deallocs;
        sendSuper<void>(self, cls(), sel);
    }
};

int Counter::s_deallocs = 0;

TEST(ObjectRuntime, RootClassIsRegisteredWithIsaFirst)
{
    Class root = objc_getClass("NSObject");
    ASSERT_NE(root, Nil);
    EXPECT_EQ(class_getSuperclass(root), Nil);
    Ivar isa = class_getInstanceVariable(root, "isa");
    ASSERT_NE(isa, nullptr);
    EXPECT_EQ(ivar_getOffset(isa), 0);
}

TEST(ObjectRuntime, SubclassVariablesLieBehindTheRootsVariables)
{
    const ptrdiff_t rootSize = static_cast<ptrdiff_t>(class_getInstanceSize(NSObject::rootClass()));
    EXPECT_GE(ivar_getOffset(class_getInstanceVariable(Counter::cls(), "count")), rootSize);
    EXPECT_GE(ivar_getOffset(class_getInstanceVariable(Counter::cls(), "owner")), rootSize);
}

TEST(ObjectRuntime, SubclassInstanceReceivesMessagesAndDeallocsOnce)
{
    Counter::s_deallocs = 0;
    id counter = NSObject::allocInit(Counter::cls());
    ASSERT_NE(counter, nil);
    EXPECT_EQ(send<std::uint32_t>(counter, "addTo:", 2u), 42u);
    EXPECT_TRUE(send<BOOL>(counter, "isKindOfClass:", NSObject::rootClass()));
    EXPECT_TRUE(send<BOOL>(counter, "respondsToSelector:", selector("addTo:")));
    EXPECT_FALSE(send<BOOL>(counter, "respondsToSelector:", selector("missing")));

    NSObject::retain(counter);
    EXPECT_EQ(NSObject::retainCount(counter), 2);
    NSObject::release(counter);
    EXPECT_EQ(Counter::s_deallocs, 0);
    NSObject::release(counter);
    EXPECT_EQ(Counter::s_deallocs, 1);
}

TEST(ObjectRuntime, PerformSelectorWithTwoObjectsPassesBoth)
{
    Class c = objc_allocateClassPair(NSObject::rootClass(), "TestPairTaker", 0);
    class_addMethod(c, sel_registerName("first:second:"),
                    toIMP(+[](id, SEL, id a, id b) -> id { return a == b ? nil : b; }), "@@:@@");
    objc_registerClassPair(c);
    id taker = NSObject::allocInit(c);
    id other = NSObject::allocInit(NSObject::rootClass());
    EXPECT_EQ(send<id>(taker, "performSelector:withObject:withObject:", selector("first:second:"), taker, other),
              other);
    NSObject::release(other);
    NSObject::release(taker);
}

// Deferred performs keep receiver and argument alive until delivery, then
// give both back: the caller's last release before delivery frees nothing.
TEST(ObjectRuntime, DeferredPerformsRetainUntilDeliveryOnTheMainThread)
{
    static std::vector<std::pair<id, bool>> s_received;
    Class c = objc_allocateClassPair(NSObject::rootClass(), "TestDeferredTaker", 0);
    class_addMethod(c, sel_registerName("take:"), toIMP(+[](id, SEL, id argument) {
                        s_received.emplace_back(argument, platform::MainLoop::isMainThread());
                    }),
                    "v@:@");
    objc_registerClassPair(c);

    struct Case {
        const char* label;
        std::function<void(id, id)> perform;
    };
    const Case cases[] = {
        {"on main thread, queued",
         [](id taker, id arg) {
             send<void>(taker, "performSelectorOnMainThread:withObject:waitUntilDone:", selector("take:"), arg,
                        BOOL(NO));
         }},
        {"from another thread, queued",
         [](id taker, id arg) {
             std::thread([&] {
                 send<void>(taker, "performSelectorOnMainThread:withObject:waitUntilDone:", selector("take:"), arg,
                            BOOL(NO));
             }).join();
         }},
        {"after a delay",
         [](id taker, id arg) {
             send<void>(taker, "performSelector:withObject:afterDelay:", selector("take:"), arg, 0.01);
         }},
    };
    for (const Case& test : cases) {
        s_received.clear();
        id taker = NSObject::allocInit(c);
        id argument = NSObject::allocInit(Counter::cls());
        test.perform(taker, argument);
        EXPECT_TRUE(s_received.empty()) << test.label;
        EXPECT_EQ(NSObject::retainCount(argument), 2) << test.label;
        EXPECT_EQ(NSObject::retainCount(taker), 2) << test.label;
        NSObject::release(argument);
        NSObject::release(taker);
        Counter::s_deallocs = 0;
        EXPECT_TRUE(
            platform::MainLoop::instance().runUntil([] { return !s_received.empty(); }, std::chrono::seconds(5)))
            << test.label;
        ASSERT_EQ(s_received.size(), 1u) << test.label;
        EXPECT_EQ(s_received[0].first, argument) << test.label;
        EXPECT_TRUE(s_received[0].second) << test.label;
        EXPECT_EQ(Counter::s_deallocs, 1) << test.label;
    }

    // Waiting from the main thread runs the message at once.
    s_received.clear();
    id taker = NSObject::allocInit(c);
    send<void>(taker, "performSelectorOnMainThread:withObject:waitUntilDone:", selector("take:"), taker, BOOL(YES));
    EXPECT_EQ(s_received.size(), 1u);
    EXPECT_EQ(NSObject::retainCount(taker), 1);
    NSObject::release(taker);
}

TEST(ObjectRuntime, ClassesAreNotReferenceCounted)
{
    id cls = reinterpret_cast<id>(Counter::cls());
    EXPECT_EQ(NSObject::retain(cls), cls);
    NSObject::release(cls);
    EXPECT_EQ(objc_getClass("TestCounter"), Counter::cls());
}

TEST(ObjectRuntime, AutoreleasedObjectsGoWhenTheirPoolEnds)
{
    Counter::s_deallocs = 0;
    {
        AutoreleasePool outer;
        NSObject::autorelease(NSObject::allocInit(Counter::cls()));
        {
            AutoreleasePool inner;
            NSObject::autorelease(NSObject::allocInit(Counter::cls()));
        }
        EXPECT_EQ(Counter::s_deallocs, 1);
    }
    EXPECT_EQ(Counter::s_deallocs, 2);
}

TEST(ObjectRuntime, MessageToNilReturnsZero)
{
    EXPECT_EQ(send<std::uint32_t>(static_cast<id>(nil), "addTo:", 1u), 0u);
}

TEST(ObjectRuntimeDeathTest, UnknownSelectorAbortsNamingClassAndSelector)
{
    id counter = NSObject::allocInit(Counter::cls());
    EXPECT_DEATH(send<void>(counter, "noSuchMethod:", 1), "TestCounter noSuchMethod:");
    NSObject::release(counter);
}

} // namespace
