#pragma once
// A fixture with the headless test driver, an application attached to the
// test module and one window of the test's recording class, shown at
// (100, 100) with a 60 x 40 content, its log empty once it shows.
#include "FrameworkTestSupport.h"

#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/Window.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

namespace CV {
namespace FEN {
namespace TEST {

inline COCOA::WindowImplBase* implOf(WindowBase& window)
{
    return dynamic_cast<COCOA::WindowImplBase*>(window.getImpl());
}

// A titled, closable, minimisable window with a 60 x 40 content whose
// top-left is at (left, top).
inline Window::CreateData createDataAt(int left, int top)
{
    Window::CreateData data;
    data.flags = Window::CreateData::SizeFromRect | Window::CreateData::PositionFromRect | Window::CreateData::Reserved;
    data.rect = {left, top, left + 60, top + 40};
    return data;
}

// RecordingWindow: a window class with a `log` of strings.
template <typename RecordingWindow, typename App = Application> class ShownWindowFixture : public testing::Test {
protected:
    // Creates and shows the window and finds its peer.
    void showWindow()
    {
        ASSERT_TRUE(window.create(createDataAt(100, 100)));
        window.show(true);
        peer = &driver.peerOf(implOf(window)->getNativeWindow());
        window.log.clear();
    }

    platform::headless::TestDriver driver;
    AttachedApplication<App> app;
    RecordingWindow window;
    platform::headless::HeadlessWindow* peer = nullptr;
};

} // namespace TEST
} // namespace FEN
} // namespace CV
