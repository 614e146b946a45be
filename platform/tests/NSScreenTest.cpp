#include "platform/appkit/NSScreen.h"
#include "platform/cf/CFArray.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"

#include <gtest/gtest.h>

namespace {

namespace objc = platform::objc;

// The screens in the platform's bottom-up frames: the first screen's
// bottom-left at the origin, the others beside it, tops aligned.
TEST(NSScreen, ScreensListTheVirtualScreensOnEveryCall)
{
    platform::headless::TestDriver driver;
    driver.setScreens("1920x1080,1280x1024@2");
    for (int call = 0; call < 3; ++call) {
        auto list = static_cast<CFArrayRef>(objc::send<const void*>(platform::appkit::NSScreenClass(), "screens"));
        ASSERT_EQ(CFArrayGetCount(list), 2) << call;
        id second = reinterpret_cast<id>(const_cast<void*>(CFArrayGetValueAtIndex(list, 1)));
        const NSRect frame = objc::send<NSRect>(second, "frame");
        EXPECT_EQ(frame.origin.x, 1920);
        EXPECT_EQ(frame.origin.y, 56);
        EXPECT_EQ(frame.size.width, 1280);
        EXPECT_EQ(objc::send<double>(second, "backingScaleFactor"), 2.0);
    }
}

} // namespace
