#pragma once
// One mounted volume as the rest of the system sees it.
#include "platform/volumes/FileSystemKind.h"

#include <string>

namespace platform::volumes {

struct Volume {
    // Display name: "Computer" for the root mount, else the last component
    // of the mount point with ':' shown as '/' (a colon separates the
    // components of colon paths).
    std::string name;
    std::string mountPoint; // absolute, no trailing '/' except for "/"
    std::string device;
    std::string fileSystemType;
    FileSystemKind kind = FileSystemKind::None;
    bool isBoot = false;
};

} // namespace platform::volumes
