#include "platform/volumes/FileSystemKind.h"

#include <utility>

namespace platform::volumes {

namespace {

const std::pair<const char*, FileSystemKind> kFileSystemKinds[] = {
    {"ext2", FileSystemKind::Local},         {"ext3", FileSystemKind::Local},     {"ext4", FileSystemKind::Local},
    {"xfs", FileSystemKind::Local},          {"btrfs", FileSystemKind::Local},    {"f2fs", FileSystemKind::Local},
    {"jfs", FileSystemKind::Local},          {"reiserfs", FileSystemKind::Local}, {"nilfs2", FileSystemKind::Local},
    {"bcachefs", FileSystemKind::Local},     {"zfs", FileSystemKind::Local},      {"vfat", FileSystemKind::Local},
    {"msdos", FileSystemKind::Local},        {"exfat", FileSystemKind::Local},    {"ntfs", FileSystemKind::Local},
    {"ntfs3", FileSystemKind::Local},        {"fuseblk", FileSystemKind::Local},  {"hfs", FileSystemKind::Local},
    {"hfsplus", FileSystemKind::Local},      {"apfs", FileSystemKind::Local},     {"ufs", FileSystemKind::Local},
    {"iso9660", FileSystemKind::Optical},    {"udf", FileSystemKind::Optical},    {"nfs", FileSystemKind::Network},
    {"nfs4", FileSystemKind::Network},       {"cifs", FileSystemKind::Network},   {"smb3", FileSystemKind::Network},
    {"smbfs", FileSystemKind::Network},      {"afpfs", FileSystemKind::Network},  {"9p", FileSystemKind::Network},
    {"fuse.sshfs", FileSystemKind::Network}, {"cddafs", FileSystemKind::AudioCD},
};

} // namespace

FileSystemKind fileSystemKindOf(const std::string& fileSystemType)
{
    for (const auto& [name, kind] : kFileSystemKinds) {
        if (fileSystemType == name)
            return kind;
    }
    return FileSystemKind::None;
}

} // namespace platform::volumes
