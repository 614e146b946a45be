#pragma once
// One entry of the volume list (VolumeManager).
#include <cstdint>
#include <string>

namespace CV {
namespace BAS {

// Kinds of volumes, as bits. Which file-system types make which kind is
// listed in platform/volumes/FileSystemKind.h; a local file system on a
// whole CD or DVD medium is an optical disc.
enum eVolumeType : int32_t {
    eVolumeLocal = 1,
    eVolumeOptical = 2,
    eVolumeNetwork = 16,
    eVolumeAudioCD = 32,
    eVolumeHome = 64, // the user's home folder, first in the list
};

enum eVolumeChange : int32_t {
    eVolumeAdded = 0, // mounted
    eVolumeRemoved = 1, // unmounted
};

struct VolumeInfo {
    // A mounted volume: the colon form of its mount point ("Backup",
    // "Computer"); the home entry: the home folder's colon path without a
    // final ':'.
    std::string name;
    int32_t type = 0; // eVolumeType
    // The platform's number of the volume; 0 for the home entry and where
    // none was found.
    int32_t volumeRefNum = 0;
};

} // namespace BAS
} // namespace CV
