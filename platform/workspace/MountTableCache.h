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
// A file that is there but cannot be read (too large, not a regular file,
// an error of the system) leaves the last table read in place, empty before
// the first, and the table is read again at the next look, whether or not
// it changed; why is said on standard error once, until a read succeeds. A
// missing file is an empty table.
//
// Not thread-safe: its owner serialises the calls.
#include "platform/workspace/MountTable.h"

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class MountTableCache {
public:
    using Entries = std::shared_ptr<const std::vector<MountEntry>>;
    // Reads the table at a path as MountTable::read does (tests put a
    // reader of their own in its place).
    using Reader = std::function<bool(const std::string& path, std::vector<MountEntry>& entries, std::string& problem)>;

    explicit MountTableCache(std::string path);
    MountTableCache(std::string path, Reader reader);
    ~MountTableCache();
    MountTableCache(const MountTableCache&) = delete;
    MountTableCache& operator=(const MountTableCache&) = delete;

    const std::string& path() const { return m_path; }

    // The entries of the table, read first when it changed since the last
    // read (or was never read, or the last read failed). Each successful
    // read makes a new list: the same pointer means the same table.
    Entries entries();
    // Reads the table when it changed since the last read (or was never
    // read, or the last read failed); true when it did.
    bool refresh();
    // How many times the table was read (failed reads too).
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
    void sayOnce(const std::string& problem);

    std::string m_path;
    Reader m_reader;
    int m_kernelTable = -1; // polled for changes; -1 for a plain file
    FileStamp m_stamp;
    Entries m_entries; // null before the first read
    bool m_failed = false; // the last read failed: read again at the next look
    std::string m_said; // the problem said last, until a read succeeds
    std::uint64_t m_reads = 0;
};

} // namespace platform
