#include "platform/objc/StandInClass.h"

#include "platform/objc/NSObject.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::objc::send;
using platform::objc::StandInClass;

struct Size {
    double width;
    double height;
};

int counterValue(id self, SEL)
{
    return platform::objc::ivar<int>(self, "_value");
}

void counterAdd(id self, SEL, int amount)
{
    platform::objc::ivar<int>(self, "_value") += amount;
}

Size counterSize(id self, SEL, double scale)
{
    return Size{scale * counterValue(self, nullptr), 1.0};
}

id counterMake(id cls, SEL, int start)
{
    id object = platform::objc::NSObject::allocInit(reinterpret_cast<Class>(cls));
    counterAdd(object, nullptr, start);
    return object;
}

TEST(StandInClass, BuildsAClassWithVariablesInstanceAndClassMethods)
{
    Class cls = StandInClass("TestStandInCounter", "NSObject")
                    .ivar<char>("_flag")
                    .ivar<int>("_value")
                    .method("value", &counterValue)
                    .method("add:", &counterAdd)
                    .method("sizeScaledBy:", &counterSize)
                    .classMethod("counterWith:", &counterMake)
                    .registerClass();
    ASSERT_NE(cls, Nil);
    EXPECT_EQ(class_getSuperclass(cls), platform::objc::NSObject::rootClass());

    id counter = send<id>(cls, "counterWith:", 5);
    send<void>(counter, "add:", 2);
    EXPECT_EQ(send<int>(counter, "value"), 7);
    const Size size = send<Size>(counter, "sizeScaledBy:", 0.5);
    EXPECT_DOUBLE_EQ(size.width, 3.5);
    platform::objc::NSObject::release(counter);

    struct Expected {
        const char* selector;
        const char* types;
    };
    for (const Expected& e : {Expected{"value", "i@:"}, Expected{"add:", "v@:i"}, Expected{"sizeScaledBy:", "?@:d"}}) {
        Method method = class_getInstanceMethod(cls, sel_registerName(e.selector));
        ASSERT_NE(method, nullptr) << e.selector;
        EXPECT_STREQ(method_getTypeEncoding(method), e.types) << e.selector;
    }
    EXPECT_EQ(ivar_getOffset(class_getInstanceVariable(cls, "_value")) % alignof(int), 0);
}

TEST(StandInClass, ANameThatExistsGivesTheRegisteredClassUnchanged)
{
    Class first = StandInClass("TestStandInTwice", "NSObject").method("value", &counterValue).registerClass();
    Class second = StandInClass("TestStandInTwice", "NSObject").method("other", &counterValue).registerClass();
    EXPECT_EQ(first, second);
    EXPECT_EQ(class_getInstanceMethod(second, sel_registerName("other")), nullptr);
    // A builder that never registers leaves no class behind.
    {
        StandInClass unused("TestStandInUnused", "NSObject");
    }
    EXPECT_EQ(objc_getClass("TestStandInUnused"), Nil);
}

} // namespace
