#include "platform/objc/Protocols.h"

#include "platform/appkit/NSTextInputClient.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

#include <gtest/gtest.h>

namespace {

using platform::objc::NSObject;
using platform::objc::Protocols;
using platform::objc::send;
using platform::objc::StandInClass;

TEST(ProtocolsTest, DeclaredProtocolsAreFoundByNameOnce)
{
    Protocol* first = Protocols::declare("ProtocolsTestEditing", {"undo:", "redo:"});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Protocols::declare("ProtocolsTestEditing", {"other:"}), first);
    EXPECT_EQ(Protocols::lookUp("ProtocolsTestEditing"), first);
    EXPECT_TRUE(Protocols::isDeclared(first));
    EXPECT_EQ(Protocols::nameOf(first), "ProtocolsTestEditing");
    EXPECT_EQ(Protocols::requiredSelectors(first), (std::vector<std::string>{"undo:", "redo:"}));
    EXPECT_EQ(Protocols::lookUp("ProtocolsTestNeverDeclared"), nullptr);
    EXPECT_EQ(Protocols::declare("", {}), nullptr);
    EXPECT_EQ(Protocols::lookUp(nullptr), nullptr);
}

TEST(ProtocolsTest, ConformsToProtocolAnswersForAdoptersAndTheirSubclasses)
{
    Protocol* protocol = Protocols::declare("ProtocolsTestDrawing", {"draw"});
    Protocol* other = Protocols::declare("ProtocolsTestOther", {});
    Class base = StandInClass("ProtocolsTestBase", NSObject::rootClass()).registerClass();
    Class derived = StandInClass("ProtocolsTestDerived", base).registerClass();
    Class unrelated = StandInClass("ProtocolsTestUnrelated", NSObject::rootClass()).registerClass();
    ASSERT_TRUE(Protocols::adopt(base, protocol));
    EXPECT_FALSE(Protocols::adopt(Nil, protocol));
    EXPECT_FALSE(Protocols::adopt(base, nullptr));

    id object = NSObject::allocInit(derived);
    id stranger = NSObject::allocInit(unrelated);
    EXPECT_TRUE(send<BOOL>(object, "conformsToProtocol:", protocol));
    EXPECT_TRUE(send<BOOL>(derived, "conformsToProtocol:", protocol));
    EXPECT_FALSE(send<BOOL>(object, "conformsToProtocol:", other));
    EXPECT_FALSE(send<BOOL>(stranger, "conformsToProtocol:", protocol));
    EXPECT_FALSE(send<BOOL>(object, "conformsToProtocol:", static_cast<Protocol*>(nullptr)));
    NSObject::release(object);
    NSObject::release(stranger);
}

TEST(ProtocolsTest, TheTextInputClientProtocolIsDeclaredWithTheStandInClasses)
{
    Protocol* client = Protocols::lookUp("NSTextInputClient");
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client, platform::appkit::NSTextInputClientProtocol());
    EXPECT_EQ(Protocols::requiredSelectors(client).size(), 11u);
    id plain = NSObject::allocInit(NSObject::rootClass());
    EXPECT_FALSE(platform::appkit::isTextInputClient(plain));
    NSObject::release(plain);
}

} // namespace
