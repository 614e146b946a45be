#include "BAS/CVDeviceNotificationListener.h"

#include "BAS/DeviceNotification.h"

#include "platform/notifications/Notification.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/volumes/VolumeList.h"
#include "platform/workspace/Workspace.h"

namespace CV {
namespace BAS {

namespace objc = platform::objc;

objc_class* CVDeviceNotificationListener::theClass = nullptr;
id CVDeviceNotificationListener::s_pNSListener = nil;
CVDeviceNotificationListener::Factory CVDeviceNotificationListener::s_theClassFactory;

namespace {

constexpr const char kVolumesFolder[] = "/Volumes/";
constexpr std::size_t kVolumesFolderLength = sizeof(kVolumesFolder) - 1;

id observerInit(id self, SEL selector)
{
    self = objc::sendSuper<id>(self, CVDeviceNotificationListener::theClass, selector);
    if (self == nil)
        return nil;
    platform::Workspace& workspace = platform::Workspace::shared();
    workspace.notificationCenter().addObserver(self, objc::selector("onDeviceDidMount:"),
                                               platform::Workspace::kDidMountNotification, workspace.object());
    workspace.notificationCenter().addObserver(self, objc::selector("onDeviceDidUnmount:"),
                                               platform::Workspace::kDidUnmountNotification, workspace.object());
    return self;
}

void observerDealloc(id self, SEL selector)
{
    platform::Workspace::shared().notificationCenter().removeObserver(self);
    objc::sendSuper<void>(self, CVDeviceNotificationListener::theClass, selector);
}

void forward(id notification, DeviceNotificationListener::eState state)
{
    const std::string devicePath =
        platform::Notification::userInfoString(notification, CVDeviceNotificationListener::kDevicePathKey);
    DeviceNotification::onVolumeChanged(state, CVDeviceNotificationListener::volumeNameOfDevicePath(devicePath));
}

void observerDidMount(id, SEL, id notification)
{
    forward(notification, DeviceNotificationListener::eMounted);
}

void observerDidUnmount(id, SEL, id notification)
{
    forward(notification, DeviceNotificationListener::eUnmounted);
}

} // namespace

CVDeviceNotificationListener::Factory::Factory()
    : m_factory(theClass)
{
    objc::ObjectRuntime::ensureStandInClasses();
    if (!m_factory.generateUniqueClass(kClassName, "NSObject"))
        return;
    m_factory.addMethod(objc::selector("init"), objc::toIMP(observerInit), "@@:@:");
    m_factory.addMethod(objc::selector("dealloc"), objc::toIMP(observerDealloc), "v@:@:");
    m_factory.addMethod(objc::selector("onDeviceDidMount:"), objc::toIMP(observerDidMount), "v@:@:^:");
    m_factory.addMethod(objc::selector("onDeviceDidUnmount:"), objc::toIMP(observerDidUnmount), "v@:@:^:");
    m_factory.doRegister();
}

std::string CVDeviceNotificationListener::volumeNameOfDevicePath(const std::string& devicePath)
{
    if (devicePath.size() > kVolumesFolderLength - 1 &&
        devicePath.compare(0, kVolumesFolderLength, kVolumesFolder) == 0)
        return devicePath.substr(kVolumesFolderLength);
    if (devicePath.size() > 1 && devicePath.front() == '/')
        return platform::volumes::VolumeList::displayNameOf(devicePath);
    return devicePath;
}

} // namespace BAS
} // namespace CV
