#pragma once
// A mount table file kept in memory: read on the first look and again only
// after it changed, so that looking costs one system call, whatever the size
// of the table.
//
// The kernel's table (a file of /proc such as /proc/self/mountinfo) tells of
// changes itself: a descriptor of it, kept open, polls as priority data
// (POLLPRI, POLLERR) once after each change of the mounts. Any other file
// (a table a test wrote) counts as changed when its identity, size or times
// did: a file replaced by renaming always does; one rewritten in place
// within the file system's time resolution at the same size may not.
//
// Not thread-safe: its owner serialises the calls.
#include "platform/workspace/MountTable.h"

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class MountTableCache {
public:
    using Entries = std::shared_ptr<const std::vector<MountEntry>>;

    explicit MountTableCache(std::string path);
    ~MountTableCache();
    MountTableCache(const MountTableCache&) = delete;
    MountTableCache& operator=(const MountTableCache&) = delete;

    const std::string& path() const { return m_path; }

    // The entries of the table, read first when it changed since the last
    // read (or was never read). Each read makes a new list: the same pointer
    // means the same table.
    Entries entries();
    // Reads the table when it changed since the last read (or was never
    // read); true when it did.
    bool refresh();
    // How many times the table was read.
    std::uint64_t readCount() const { return m_reads; }

private:
    // What stat() tells of a plain file; equal stamps, unchanged file.
    struct FileStamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};

        bool operator==(const FileStamp& other) const;
    };

    static int openKernelTable(const std::string& path);
    FileStamp stampOfFile() const;
    bool changedSinceLastRead();
    void readNow();

    std::string m_path;
    int m_kernelTable = -1; // polled for changes; -1 for a plain file
    FileStamp m_stamp;
    Entries m_entries; // null before the first read
    std::uint64_t m_reads = 0;
};

} // namespace platform
