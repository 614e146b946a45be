#pragma once
// The kernel's table of mounted file systems, read from a file in the
// fstab layout (device, mount point, file-system type, options, ...).
//
// Every reader of mounts goes through here, so that the volume list, the
// path conversions and the mount watcher agree. The file is
// /proc/self/mounts unless a test points it elsewhere.
#include <string>
#include <vector>

namespace platform::volumes {

struct MountEntry {
    std::string device;         // mounted-from ("/dev/sda1", "server:/export", "tmpfs")
    std::string mountPoint;     // absolute path, escapes decoded
    std::string fileSystemType; // "ext4", "vfat", "nfs4", ...
};

class MountTable {
public:
    static constexpr const char* kDefaultPath = "/proc/self/mounts";

    // The entries of the table file in file order; empty when the file cannot
    // be read. Lines with fewer than three fields are skipped.
    static std::vector<MountEntry> read(const std::string& tablePath);
    // The entries of the current table file.
    static std::vector<MountEntry> read();

    // The table file in use (kDefaultPath unless replaced).
    static std::string path();
    // Replaces the table file for the whole process; empty restores the default.
    static void setPath(const std::string& tablePath);

    // Decodes the octal escapes the kernel writes for blanks and backslashes
    // in a field ("\040" is a space).
    static std::string decodeField(const std::string& field);

    // Points the process at another table while it lives; restores the
    // previous one when destroyed.
    class ScopedPath {
    public:
        explicit ScopedPath(const std::string& tablePath);
        ~ScopedPath();
        ScopedPath(const ScopedPath&) = delete;
        ScopedPath& operator=(const ScopedPath&) = delete;

    private:
        std::string m_previous;
    };

    MountTable() = delete;
};

} // namespace platform::volumes
