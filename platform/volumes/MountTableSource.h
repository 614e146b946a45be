#pragma once
// Which mount table the volume list reads: the kernel's
// (platform::MountTable::kDefaultPath) unless a test points the process at
// a file of its own. Every reader of volumes goes through here, so the
// volume list, the path conversions and file names agree.
//
// The table is kept in memory (MountTableCache) and read again only when it
// changed: a look costs one system call, so that naming files does not grow
// with the number of mounts. Looks may come from any thread.
#include "platform/workspace/MountTableCache.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::volumes {

class MountTableSource {
public:
    // The entries of the current table (empty when it is missing; the last
    // table read while a read fails, empty before any); the same pointer as
    // long as the table did not change.
    static MountTableCache::Entries entries();

    // How many times the process read a table through here: tests and
    // benchmarks see what looking up names costs.
    static std::uint64_t readCount();

    static std::string path();
    // Replaces the table file for the whole process; empty restores the
    // default. The table is read anew at the next look, even when the path
    // is the same.
    static void setPath(const std::string& tablePath);

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

    MountTableSource() = delete;
};

} // namespace platform::volumes
