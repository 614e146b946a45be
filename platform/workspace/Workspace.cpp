#include "platform/workspace/Workspace.h"

#include "platform/cf/CFString.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

namespace platform {

const char* const Workspace::kDidMountNotification = "NSWorkspaceDidMountNotification";
const char* const Workspace::kDidUnmountNotification = "NSWorkspaceDidUnmountNotification";
const char* const Workspace::kDevicePathKey = "NSDevicePath";

namespace {

Class workspaceClass()
{
    static Class s_class = objc::StandInClass("NSWorkspace", "NSObject").registerClass();
    return s_class;
}

} // namespace

Workspace& Workspace::shared()
{
    // Never destroyed: observers may outlive static destruction order.
    static Workspace* s_workspace = new Workspace();
    return *s_workspace;
}

Workspace::Workspace()
    : m_object(objc::NSObject::allocInit(workspaceClass()))
{
    watchMountTable(kDefaultPollInterval);
}

Workspace::~Workspace()
{
    m_watcher.reset();
    objc::NSObject::release(m_object);
}

void Workspace::watchMountTable(std::chrono::milliseconds interval)
{
    m_watcher.reset();
    m_watcher = std::make_unique<MountTableWatcher>(
        interval, [this](MountTableWatcher::Change change, const MountEntry& entry) { onMountChange(change, entry); });
}

void Workspace::stopWatchingMountTable()
{
    m_watcher.reset();
}

void Workspace::onMountChange(MountTableWatcher::Change change, const MountEntry& entry)
{
    CFMutableDictionaryRef userInfo = CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                                &kCFTypeDictionaryValueCallBacks);
    CFStringRef key = cf::String::createFromUTF8(kDevicePathKey);
    CFStringRef path = cf::String::createFromUTF8(entry.mountPoint);
    CFDictionarySetValue(userInfo, key, path);
    CFRelease(key);
    CFRelease(path);
    const char* name = change == MountTableWatcher::Change::Mounted ? kDidMountNotification : kDidUnmountNotification;
    m_center.postNow(name, m_object, userInfo);
    CFRelease(userInfo);
}

} // namespace platform
