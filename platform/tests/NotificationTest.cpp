#include "platform/notifications/Notification.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/runloop/MainLoop.h"
#include "platform/tests/TestSupport.h"
#include "platform/volumes/MountTableSource.h"
#include "platform/workspace/MountTable.h"
#include "platform/workspace/Workspace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <thread>

using namespace platform;
using namespace platform::test;
using namespace std::chrono_literals;

namespace {

// What observers received, in order.
struct Received {
    std::string selector;
    std::string name;
    id object;
    std::string devicePath;
    bool onMainThread;
};
std::vector<Received> s_received;

void record(id, SEL selector, id notification)
{
    s_received.push_back(
        Received{sel_getName(selector), Notification::name(notification), Notification::object(notification),
                 Notification::userInfoString(notification, "NSDevicePath"), MainLoop::isMainThread()});
}

// An observer class built like the program's run-time listener classes.
Class observerClass()
{
    static Class s_class = [] {
        Class cls = objc_allocateClassPair(objc::NSObject::rootClass(), "TestNotificationObserver", 0);
        class_addMethod(cls, sel_registerName("onFirst:"), objc::toIMP(&record), "v@:@");
        class_addMethod(cls, sel_registerName("onSecond:"), objc::toIMP(&record), "v@:@");
        objc_registerClassPair(cls);
        return cls;
    }();
    return s_class;
}

class NotificationTest : public ::testing::Test {
protected:
    NotificationTest()
        : m_observer(objc::NSObject::allocInit(observerClass()))
        , m_poster(objc::NSObject::allocInit(objc::NSObject::rootClass()))
    {
        s_received.clear();
    }
    ~NotificationTest() override
    {
        objc::NSObject::release(m_poster);
        objc::NSObject::release(m_observer);
    }

    bool waitForReceived(size_t count)
    {
        return MainLoop::instance().runUntil([&] { return s_received.size() >= count; }, 2s);
    }

    id m_observer;
    id m_poster;
};

TEST_F(NotificationTest, PostFromAnyThreadReachesTheObserversSelectorOnTheMainThread)
{
    NotificationCenter center;
    center.addObserver(m_observer, objc::selector("onFirst:"), "Ping", nil);
    center.addObserver(m_observer, objc::selector("onSecond:"), "", m_poster);
    CFMutableDictionaryRef info = CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                            &kCFTypeDictionaryValueCallBacks);
    CFDictionarySetValue(info, str("NSDevicePath").get(), str("/media/x").get());
    id poster = m_poster;
    std::thread([&] { center.post("Ping", poster, info); }).join();
    CFRelease(info);

    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(s_received[0].selector, "onFirst:");
    EXPECT_EQ(s_received[1].selector, "onSecond:");
    for (const Received& r : s_received) {
        EXPECT_EQ(r.name, "Ping");
        EXPECT_EQ(r.object, m_poster);
        EXPECT_EQ(r.devicePath, "/media/x");
        EXPECT_TRUE(r.onMainThread);
    }
}

int s_posterDeallocs = 0;

void countPosterDealloc(id self, SEL sel)
{
    ++s_posterDeallocs;
    objc::sendSuper<void>(self, objc_getClass("TestPoster"), sel);
}

TEST_F(NotificationTest, PostedObjectLivesUntilDelivered)
{
    static Class s_posterClass = [] {
        Class cls = objc_allocateClassPair(objc::NSObject::rootClass(), "TestPoster", 0);
        class_addMethod(cls, sel_registerName("dealloc"), objc::toIMP(&countPosterDealloc), "v@:");
        objc_registerClassPair(cls);
        return cls;
    }();
    s_posterDeallocs = 0;
    NotificationCenter center;
    center.addObserver(m_observer, objc::selector("onFirst:"), "Ping", nil);
    id poster = objc::NSObject::allocInit(s_posterClass);
    center.post("Ping", poster, nullptr);
    objc::NSObject::release(poster);
    EXPECT_EQ(s_posterDeallocs, 0);
    ASSERT_TRUE(waitForReceived(1));
    EXPECT_EQ(s_received[0].object, poster);
    MainLoop::instance().runPending();
    EXPECT_EQ(s_posterDeallocs, 1);
}

TEST_F(NotificationTest, ObserversSeeOnlyMatchingNamesAndPosters)
{
    NotificationCenter center;
    center.addObserver(m_observer, objc::selector("onFirst:"), "Wanted", m_poster);
    center.post("Other", m_poster, nullptr);
    center.post("Wanted", nil, nullptr);
    center.post("Wanted", m_poster, nullptr);
    ASSERT_TRUE(waitForReceived(1));
    MainLoop::instance().runPending();
    ASSERT_EQ(s_received.size(), 1u);
    EXPECT_EQ(s_received[0].devicePath, "");
}

TEST_F(NotificationTest, RemovedObserverGetsNothingAlreadyPosted)
{
    NotificationCenter center;
    center.addObserver(m_observer, objc::selector("onFirst:"), "Ping", nil);
    center.post("Ping", nil, nullptr);
    center.removeObserver(m_observer);
    MainLoop::instance().runUntil([] { return false; }, 20ms);
    EXPECT_TRUE(s_received.empty());
    EXPECT_EQ(center.observerCount(), 0u);
}

// Replaces the file in one step, as the kernel's table changes.
void writeTable(const std::string& path, const std::string& text)
{
    std::ofstream(path + ".new") << text;
    std::rename((path + ".new").c_str(), path.c_str());
}

TEST_F(NotificationTest, MountTableChangesReachWorkspaceObservers)
{
    TempFolder folder;
    const std::string table = (folder.path() / "mountinfo").string();
    const std::string root = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
    const std::string stick = "90 22 8:17 / /media/u/MY\\040STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw\n";
    writeTable(table, root);

    platform::volumes::MountTableSource::ScopedPath tableInUse(table);
    Workspace& workspace = Workspace::shared();
    workspace.watchMountTable(5ms);
    NotificationCenter& center = workspace.notificationCenter();
    center.addObserver(m_observer, objc::selector("onFirst:"), Workspace::kDidMountNotification, workspace.object());
    center.addObserver(m_observer, objc::selector("onSecond:"), Workspace::kDidUnmountNotification, workspace.object());

    writeTable(table, root + stick);
    ASSERT_TRUE(waitForReceived(1));
    writeTable(table, root);
    ASSERT_TRUE(waitForReceived(2));
    center.removeObserver(m_observer);
    workspace.stopWatchingMountTable();

    ASSERT_EQ(s_received.size(), 2u);
    EXPECT_EQ(s_received[0].name, "NSWorkspaceDidMountNotification");
    EXPECT_EQ(s_received[0].selector, "onFirst:");
    EXPECT_EQ(s_received[0].devicePath, "/media/u/MY STICK");
    EXPECT_EQ(s_received[0].object, workspace.object());
    EXPECT_EQ(s_received[1].name, "NSWorkspaceDidUnmountNotification");
    EXPECT_EQ(s_received[1].selector, "onSecond:");
    EXPECT_EQ(s_received[1].devicePath, "/media/u/MY STICK");
}

TEST(MountTable, ReadsBothTableForms)
{
    const std::string text = "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw,errors=continue\n"
                             "37 35 98:0 / /srv rw - nfs server:/export rw\n"
                             "/dev/sdc1 /media/a\\011b vfat rw 0 0\n"
                             "broken line\n"
                             "38 35 98:0 / /x rw - onlytype\n";
    const std::vector<MountEntry> expected = {
        {"/mnt/parent", "ext3", "/dev/root"},
        {"/srv", "nfs", "server:/export"},
        {"/media/a\tb", "vfat", "/dev/sdc1"},
    };
    EXPECT_EQ(MountTable::parse(text), expected);
    EXPECT_TRUE(MountTable::read("/nonexistent/mountinfo").empty());
    EXPECT_FALSE(MountTable::read().empty()); // this system's own table
}

} // namespace
