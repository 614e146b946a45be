#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"

#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/Protocols.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using CV::BAS::OBJC::ClassFactory;
namespace OBJC = CV::BAS::OBJC;
namespace objc = platform::objc;

// Classes stay registered for the life of the process, so every test uses
// base names of its own.

TEST(ClassFactoryTest, TakenNamesGetTheNextFourDigitCounter)
{
    const char* expected[] = {"ClassFactoryTestUnique", "ClassFactoryTestUnique0001", "ClassFactoryTestUnique0002"};
    objc_class* classes[3] = {};
    std::vector<std::unique_ptr<ClassFactory>> factories;
    for (int i = 0; i < 3; ++i) {
        factories.push_back(std::make_unique<ClassFactory>(classes[i]));
        ASSERT_TRUE(factories.back()->generateUniqueClass("ClassFactoryTestUnique", "NSObject"));
        factories.back()->doRegister();
        EXPECT_STREQ(factories.back()->getClassName(), expected[i]);
        EXPECT_EQ(objc_lookUpClass(expected[i]), classes[i]);
        EXPECT_EQ(class_getSuperclass(classes[i]), objc::NSObject::rootClass());
    }
}

TEST(ClassFactoryTest, NamesThatCannotBeClassNamesMakeNoClass)
{
    struct Case {
        const char* label;
        const char* name;
    };
    const Case cases[] = {{"null", nullptr}, {"empty", ""}, {"not ASCII", "Caf\xC3\xA9View"}};
    for (const Case& c : cases) {
        objc_class* cls = nullptr;
        ClassFactory factory(cls);
        EXPECT_FALSE(factory.generateUniqueClass(c.name, "NSObject")) << c.label;
        EXPECT_EQ(cls, nullptr) << c.label;
        EXPECT_EQ(factory.getClassName(), nullptr) << c.label;
        EXPECT_FALSE(factory.addMemberVar("x", 4, 2, "I")) << c.label;
    }
}

TEST(ClassFactoryTest, UnknownSuperclassGivesARootClass)
{
    objc_class* cls = nullptr;
    ClassFactory factory(cls);
    ASSERT_TRUE(factory.generateUniqueClass("ClassFactoryTestRoot", "NoSuchClassAnywhere"));
    EXPECT_EQ(class_getSuperclass(cls), nullptr);
}

TEST(ClassFactoryTest, DestructorDisposesOnlyTheClassItMade)
{
    objc_class* untouched = objc::NSObject::rootClass();
    {
        ClassFactory idle(untouched);
    }
    EXPECT_EQ(untouched, objc::NSObject::rootClass());

    objc_class* cls = nullptr;
    {
        ClassFactory factory(cls);
        ASSERT_TRUE(factory.generateUniqueClass("ClassFactoryTestDisposed", "NSObject"));
        ASSERT_NE(cls, nullptr);
    }
    EXPECT_EQ(cls, nullptr);
}

TEST(ClassFactoryTest, AddingReportsTheRunTimesRefusal)
{
    objc_class* cls = nullptr;
    ClassFactory factory(cls);
    ASSERT_TRUE(factory.generateUniqueClass("ClassFactoryTestRefusal", "NSObject"));
    EXPECT_FALSE(factory.addProtocol("NoSuchProtocolAnywhere"));
    EXPECT_TRUE(factory.addMemberVar("m_value", sizeof(uint32_t), 2, "I"));
    EXPECT_FALSE(factory.addMemberVar("m_value", sizeof(uint32_t), 2, "I")); // taken
    factory.doRegister();
    EXPECT_FALSE(factory.addMemberVar("m_late", sizeof(uint32_t), 2, "I")); // after registration
}

TEST(ClassFactoryTest, AdoptsProtocolsThePlatformDeclares)
{
    objc_class* cls = nullptr;
    ClassFactory factory(cls);
    ASSERT_TRUE(factory.generateUniqueClass("ClassFactoryTestClient", "NSObject"));
    EXPECT_TRUE(factory.addProtocol("NSTextInputClient"));
    factory.doRegister();
    EXPECT_TRUE(platform::objc::send<BOOL>(
        reinterpret_cast<id>(cls), "conformsToProtocol:", platform::objc::Protocols::lookUp("NSTextInputClient")));
}

// A view-like class: an object pointer, a counter and a scale.
class IvarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_factory = new ClassFactory(s_class);
        ASSERT_TRUE(s_factory->generateUniqueClass("ClassFactoryTestView", "NSObject"));
        ASSERT_TRUE(s_factory->addMemberVar("m_owner", sizeof(id), 3, "@"));
        ASSERT_TRUE(s_factory->addMemberVar("m_count", sizeof(uint32_t), 2, "I"));
        ASSERT_TRUE(s_factory->addMemberVar("m_scale", sizeof(float), 2, "f"));
        ASSERT_TRUE(s_factory->addMethod(objc::selector("doubledCount"), objc::toIMP(&doubledCount), "I@:"));
        s_factory->doRegister();
    }

    void SetUp() override { object_ = objc::NSObject::allocInit(s_class); }
    void TearDown() override { objc::NSObject::release(object_); }

    static uint32_t doubledCount(id self, SEL) { return 2 * OBJC::getIvarUInt32(self, "m_count"); }

    std::vector<unsigned char> bytesOfObject() const
    {
        const auto* begin = reinterpret_cast<const unsigned char*>(object_);
        return std::vector<unsigned char>(begin, begin + class_getInstanceSize(s_class));
    }

    static objc_class* s_class;
    static ClassFactory* s_factory; // never destroyed: instances may outlive a test
    id object_ = nil;
};

objc_class* IvarTest::s_class = nullptr;
ClassFactory* IvarTest::s_factory = nullptr;

TEST_F(IvarTest, VariablesReadBackWhatWasWritten)
{
    id owner = objc::NSObject::allocInit(objc::NSObject::rootClass());
    OBJC::setIvarPtr(object_, "m_owner", owner);
    OBJC::setIvarUInt32(object_, "m_count", 0xDEADBEEFu);
    OBJC::setIvarFloat(object_, "m_scale", 2.5f);
    EXPECT_EQ(OBJC::getIvarPtr(object_, "m_owner"), owner);
    EXPECT_EQ(OBJC::getIvarUInt32(object_, "m_count"), 0xDEADBEEFu);
    EXPECT_EQ(OBJC::getIvarFloat(object_, "m_scale"), 2.5f);
    // The root class's own variables stay intact around them.
    EXPECT_EQ(object_getClass(object_), s_class);
    EXPECT_EQ(objc::NSObject::retainCount(object_), 1);
    objc::NSObject::release(owner);
}

TEST_F(IvarTest, MissingVariableReadsZeroAndIsNotWritten)
{
    OBJC::setIvarUInt32(object_, "m_count", 7);
    const std::vector<unsigned char> before = bytesOfObject();
    for (const char* name : {"m_missing", "", static_cast<const char*>(nullptr)}) {
        OBJC::setIvarPtr(object_, name, object_);
        OBJC::setIvarUInt32(object_, name, 0xFFFFFFFFu);
        OBJC::setIvarFloat(object_, name, 1.0f);
        EXPECT_EQ(OBJC::getIvarPtr(object_, name), nil);
        EXPECT_EQ(OBJC::getIvarUInt32(object_, name), 0u);
        EXPECT_EQ(OBJC::getIvarFloat(object_, name), 0.0f);
    }
    EXPECT_EQ(bytesOfObject(), before);
    EXPECT_EQ(OBJC::getIvarUInt32(nil, "m_count"), 0u);
}

TEST_F(IvarTest, AddedMethodAnswersItsSelector)
{
    OBJC::setIvarUInt32(object_, "m_count", 21);
    EXPECT_TRUE(objc::respondsTo(object_, objc::selector("doubledCount")));
    EXPECT_EQ(objc::send<uint32_t>(object_, "doubledCount"), 42u);
}

} // namespace
