#pragma once
// The observer of the shared workspace's mount and unmount notifications:
// an object of a class made at run time ("ComCalvarineCocoaDeviceNotificationListener",
// derived from NSObject) that forwards each notification's device path, as a
// volume name, to DeviceNotification::onVolumeChanged.
//
// The class is built when the program loads and disposed of at exit; the one
// observer object lives from DeviceNotification::init to deInit.
#include "BAS/ClassFactory.h"

#include <objc/runtime.h>

#include <string>

namespace CV {
namespace BAS {

class CVDeviceNotificationListener {
public:
    static constexpr const char* kClassName = "ComCalvarineCocoaDeviceNotificationListener";
    static constexpr const char* kDevicePathKey = "NSDevicePath";

    // Builds theClass with its four methods (init, dealloc,
    // onDeviceDidMount:, onDeviceDidUnmount:).
    class Factory {
    public:
        Factory();
        Factory(const Factory&) = delete;
        Factory& operator=(const Factory&) = delete;

    private:
        OBJC::ClassFactory m_factory;
    };

    // The volume name of a mount point: "/Volumes/Backup" gives "Backup"; a
    // mount point elsewhere ("/media/me/Backup") gives the name the volume
    // list shows for it; "/" and texts that are no absolute path stay as
    // they are ("/Volumes/" alone gives "").
    static std::string volumeNameOfDevicePath(const std::string& devicePath);

    static objc_class* theClass;
    static Factory s_theClassFactory;
    // The one observer object (owned), null when there is none.
    static id s_pNSListener;

    CVDeviceNotificationListener() = delete;
};

} // namespace BAS
} // namespace CV
