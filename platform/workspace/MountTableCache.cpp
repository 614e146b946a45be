#include "platform/workspace/MountTableCache.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

namespace {

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool isOnProcFileSystem(const std::string& path)
{
    struct statfs fileSystem { };
    struct stat info { };
    return ::statfs(path.c_str(), &fileSystem) == 0 && fileSystem.f_type == PROC_SUPER_MAGIC &&
        ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool MountTableCache::FileStamp::operator==(const FileStamp& other) const
{
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
        sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

MountTableCache::MountTableCache(std::string path)
    : MountTableCache(std::move(path),
                      [](const std::string& table, std::vector<MountEntry>& entries, std::string& problem) {
                          return MountTable::read(table, entries, problem);
                      })
{
}

MountTableCache::MountTableCache(std::string path, Reader reader)
    : m_path(std::move(path))
    , m_reader(std::move(reader))
    , m_kernelTable(openKernelTable(m_path))
{
}

MountTableCache::~MountTableCache()
{
    if (m_kernelTable >= 0)
        ::close(m_kernelTable);
}

int MountTableCache::openKernelTable(const std::string& path)
{
    if (!isOnProcFileSystem(path))
        return -1;
    int descriptor;
    do
        descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

MountTableCache::Entries MountTableCache::entries()
{
    refresh();
    return m_entries;
}

bool MountTableCache::refresh()
{
    if (!changedSinceLastRead())
        return false;
    readNow();
    return true;
}

bool MountTableCache::changedSinceLastRead()
{
    if (!m_entries || m_failed)
        return true;
    if (m_kernelTable < 0)
        return !(stampOfFile() == m_stamp);
    pollfd change{m_kernelTable, POLLPRI, 0};
    int ready;
    do
        ready = ::poll(&change, 1, 0);
    while (ready < 0 && errno == EINTR);
    return ready > 0 && (change.revents & (POLLPRI | POLLERR)) != 0;
}

void MountTableCache::readNow()
{
    // The stamp is taken first: a change during the read shows at the next look.
    if (m_kernelTable < 0)
        m_stamp = stampOfFile();
    std::vector<MountEntry> entries;
    std::string problem;
    m_failed = !m_reader(m_path, entries, problem);
    ++m_reads;
    if (m_failed) {
        sayOnce(problem);
        if (!m_entries)
            m_entries = std::make_shared<const std::vector<MountEntry>>();
        return;
    }
    m_said.clear();
    m_entries = std::make_shared<const std::vector<MountEntry>>(std::move(entries));
}

void MountTableCache::sayOnce(const std::string& problem)
{
    if (problem == m_said)
        return;
    m_said = problem;
    MountTable::sayUnread(m_path, problem);
}

MountTableCache::FileStamp MountTableCache::stampOfFile() const
{
    FileStamp stamp;
    struct stat info { };
    if (::stat(m_path.c_str(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

} // namespace platform
