#pragma once
// What kind of volume a file-system type makes. This is the one table of
// file-system types the project knows; a type not in it is not a real file
// system (proc, sysfs, tmpfs, cgroup, overlay, squashfs, ...) and its mounts
// are no volumes.
//
//   local    ext2 ext3 ext4 xfs btrfs f2fs jfs reiserfs nilfs2 bcachefs zfs
//            vfat msdos exfat ntfs ntfs3 fuseblk hfs hfsplus apfs ufs
//   optical  iso9660 udf
//   network  nfs nfs4 cifs smb3 smbfs afpfs 9p fuse.sshfs
//   audio CD cddafs
#include <string>

namespace platform::volumes {

enum class FileSystemKind { None, Local, Optical, Network, AudioCD };

// The kind of a file-system type name (exact, lower case); None when the
// type is not in the table.
FileSystemKind fileSystemKindOf(const std::string& fileSystemType);

} // namespace platform::volumes
