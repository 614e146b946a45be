#include "BAS/DeviceNotification.h"
#include "BAS/CVDeviceNotificationListener.h"

#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFString.h"
#include "platform/workspace/Workspace.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using CV::BAS::CVDeviceNotificationListener;
using CV::BAS::DeviceNotification;
using CV::BAS::DeviceNotificationListener;

namespace {

using Call = std::pair<DeviceNotificationListener::eState, std::string>;

class RecordingListener : public DeviceNotificationListener {
public:
    void onVolumeChanged(eState state, std::string const& name) override
    {
        calls.emplace_back(state, name);
        if (onCall)
            onCall();
    }

    std::vector<Call> calls;
    std::function<void()> onCall;
};

// Registers listeners with the hub for one test and takes them away again.
class HubListeners {
public:
    explicit HubListeners(std::vector<RecordingListener*> listeners)
        : m_listeners(std::move(listeners))
    {
        for (auto* listener : m_listeners)
            DeviceNotification::addListener(listener);
    }
    ~HubListeners()
    {
        for (auto* listener : m_listeners)
            DeviceNotification::removeListener(listener);
    }

private:
    std::vector<RecordingListener*> m_listeners;
};

TEST(DeviceNotificationTest, AListenerLeavingDuringItsCallDoesNotMakeTheNextOneBeSkipped)
{
    RecordingListener first;
    RecordingListener second;
    RecordingListener third;
    HubListeners registered({&first, &second, &third});
    first.onCall = [&] { DeviceNotification::removeListener(&first); };

    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eMounted, "Backup");
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(second.calls, (std::vector<Call>{{DeviceNotificationListener::eMounted, "Backup"}}));
    EXPECT_EQ(third.calls.size(), 1u);

    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eUnmounted, "Backup");
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(second.calls.size(), 2u);
}

TEST(DeviceNotificationTest, AListenerRemovedByAnEarlierOneIsNotCalled)
{
    RecordingListener first;
    RecordingListener second;
    RecordingListener late;
    HubListeners registered({&first, &second});
    first.onCall = [&] {
        DeviceNotification::removeListener(&second);
        DeviceNotification::addListener(&late);
    };

    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eMounted, "Backup");
    DeviceNotification::removeListener(&late);
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_TRUE(second.calls.empty());
    EXPECT_TRUE(late.calls.empty()); // joined after the notification began
}

TEST(DeviceNotificationTest, DevicePathsBecomeVolumeNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/Volumes/Backup", "Backup"},
        {"/Volumes/My Disk", "My Disk"},
        {"/Volumes/", ""},
        {"/", "/"},
        {"", ""},
        {"/media/me/Backup", "Backup"},
        {"/run/media/me/a:b", "a/b"},
        {"relative/name", "relative/name"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(CVDeviceNotificationListener::volumeNameOfDevicePath(path), expected) << path;
}

class ObserverTest : public ::testing::Test {
protected:
    ~ObserverTest() override { DeviceNotification::deInit(); }

    static void postNow(const char* notificationName, const char* devicePath)
    {
        platform::Workspace& workspace = platform::Workspace::shared();
        CFMutableDictionaryRef info = CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                                &kCFTypeDictionaryValueCallBacks);
        if (devicePath) {
            CFStringRef key = platform::cf::String::createFromUTF8("NSDevicePath");
            CFStringRef value = platform::cf::String::createFromUTF8(devicePath);
            CFDictionarySetValue(info, key, value);
            CFRelease(key);
            CFRelease(value);
        }
        workspace.notificationCenter().postNow(notificationName, workspace.object(), info);
        CFRelease(info);
    }
};

TEST_F(ObserverTest, WorkspaceNotificationsReachTheHubWhileItRuns)
{
    ASSERT_NE(CVDeviceNotificationListener::theClass, nullptr);
    EXPECT_EQ(std::string(class_getName(CVDeviceNotificationListener::theClass))
                  .rfind(CVDeviceNotificationListener::kClassName, 0),
              0u);
    RecordingListener listener;
    HubListeners registered({&listener});

    postNow(platform::Workspace::kDidMountNotification, "/Volumes/Backup");
    EXPECT_TRUE(listener.calls.empty()) << "no observer before init";

    ASSERT_TRUE(DeviceNotification::init());
    ASSERT_NE(CVDeviceNotificationListener::s_pNSListener, nil);
    postNow(platform::Workspace::kDidMountNotification, "/Volumes/Backup");
    postNow(platform::Workspace::kDidUnmountNotification, "/media/me/Stick");
    postNow(platform::Workspace::kDidMountNotification, nullptr);
    postNow("SomethingElse", "/Volumes/Other");
    EXPECT_EQ(listener.calls,
              (std::vector<Call>{{DeviceNotificationListener::eMounted, "Backup"},
                                 {DeviceNotificationListener::eUnmounted, "Stick"},
                                 {DeviceNotificationListener::eMounted, ""}}));

    DeviceNotification::deInit();
    EXPECT_EQ(CVDeviceNotificationListener::s_pNSListener, nil);
    postNow(platform::Workspace::kDidUnmountNotification, "/Volumes/Backup");
    EXPECT_EQ(listener.calls.size(), 3u);
}

} // namespace
