#pragma once
// The mounted file systems, read from the kernel's mount table: either the
// mountinfo form (/proc/self/mountinfo, the default) or the fstab-like form
// of /proc/mounts. Octal escapes (\040 for a blank) are decoded.
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

struct MountEntry {
    std::string mountPoint;
    std::string fileSystemType;
    std::string source; // the mounted-from device or share ("/dev/sdb1")

    bool operator==(const MountEntry& other) const
    {
        return mountPoint == other.mountPoint && fileSystemType == other.fileSystemType && source == other.source;
    }
    bool operator!=(const MountEntry& other) const { return !(*this == other); }
};

class MountTable {
public:
    static const char* const kDefaultPath; // "/proc/self/mountinfo"
    // Tables are read only from regular files of at most this size.
    static constexpr std::size_t kMaxTableBytes = 16 * 1024 * 1024;

    // Entries in table order; lines that fit neither form are skipped.
    static std::vector<MountEntry> parse(const std::string& text);
    // An empty list when the file cannot be read; a file that is there but
    // refused (not a regular file, too large) is reported in one line on
    // standard error.
    static std::vector<MountEntry> read(const std::string& path = kDefaultPath);
    // The entries of the file at path in entries (none when it is missing);
    // false, with why in problem and no entries, when it is there but cannot
    // be read or is refused. Says nothing.
    static bool read(const std::string& path, std::vector<MountEntry>& entries, std::string& problem);
    // Says on standard error why the table at path was not read.
    static void sayUnread(const std::string& path, const std::string& problem);
};

} // namespace platform
