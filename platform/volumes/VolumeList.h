#pragma once
// The mounted volumes, made from the mount table (MountTableSource):
// - the root mount "/" is the boot volume, always present and always first,
//   named kBootVolumeName (whatever its file-system type);
// - every other mount of a real file system (FileSystemKind) whose mount
//   point is an existing folder is a volume named by the last component of
//   its mount point; a folder mounted over twice counts once (the later,
//   visible mount), in the place of its first mount.
// The list is made again only when the source's table changed (whether a
// mount point is an existing folder is looked at then).
#include "platform/volumes/MountTableSource.h"
#include "platform/volumes/Volume.h"

#include <string>
#include <vector>

namespace platform::volumes {

class VolumeList {
public:
    static constexpr const char* kBootVolumeName = "Computer";

    // The volumes of the current mount table.
    static std::vector<Volume> mounted();
    static std::vector<Volume> fromMountEntries(const std::vector<MountEntry>& entries);

    // The display name of a mount point ("Computer" for "/").
    static std::string displayNameOf(const std::string& mountPoint);

    // The first volume whose name equals name byte for byte, else the first
    // whose name equals it ignoring case (both well-formed UTF-8); null when
    // none does.
    static const Volume* findByName(const std::vector<Volume>& volumes, const std::string& name);

    // The volume holding an absolute, normalised POSIX path: the one with the
    // longest mount point that is the path or a folder above it (the boot
    // volume when no other is).
    static const Volume* findByPath(const std::vector<Volume>& volumes, const std::string& path);

    VolumeList() = delete;
};

} // namespace platform::volumes
