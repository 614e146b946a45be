#pragma once
// Whether a mounted block device lies on an optical medium, asked of sysfs:
// the device's whole disk (the device itself, or the parent of a partition)
// reports the SCSI peripheral type 5 (CD/DVD drive) in device/type.
#include <string>

namespace CV {
namespace BAS {
namespace LINUX {

class OpticalMedia {
public:
    explicit OpticalMedia(std::string sysfsRoot);

    // mountedFrom: the mount's source ("/dev/sr0", "/dev/sdb1"); the part
    // after its last '/' names the block device. False for anything sysfs
    // does not know as a block device.
    bool isOptical(const std::string& mountedFrom) const;

    static std::string blockDeviceName(const std::string& mountedFrom);

private:
    std::string m_sysfsRoot;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
