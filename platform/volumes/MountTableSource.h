#pragma once
// Which mount table the volume list reads: the kernel's
// (platform::MountTable::kDefaultPath) unless a test points the process at
// a file of its own. Every reader of volumes goes through here, so the
// volume list, the path conversions and file names agree.
#include "platform/workspace/MountTable.h"

#include <string>
#include <vector>

namespace platform::volumes {

class MountTableSource {
public:
    // The entries of the current table file (empty when it cannot be read).
    static std::vector<MountEntry> read();

    static std::string path();
    // Replaces the table file for the whole process; empty restores the default.
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
