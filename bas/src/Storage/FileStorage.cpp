#include "BAS/FileStorage.h"

#include "BAS/FileManager.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace CV {
namespace BAS {

namespace {

// Opens a regular file for reading. The open does not wait for a writer, so
// a fifo (or a device) put where a file is expected is refused at once
// rather than stalling the reader.
FILE* openRegularForReading(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat info;
    const bool regular = ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
    const int flags = regular ? ::fcntl(descriptor, F_GETFL) : -1;
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr)
        ::close(descriptor);
    return file;
}

} // namespace

FileStorage::~FileStorage()
{
    if (m_status != eStatusClosed)
        close();
}

FILE* FileStorage::openFile(const FileName& name, eAccessMode accessMode) const
{
    const std::string path = name.getSystemPath(true, true);
    switch (accessMode) {
    case eAccessRead: return openRegularForReading(path);
    case eAccessWrite: FileManager::createFile(name); return std::fopen(path.c_str(), "wb");
    case eAccessReadWrite: FileManager::createFile(name); return std::fopen(path.c_str(), "r+b");
    default: return nullptr;
    }
}

bool FileStorage::open(const FileName& name, eAccessMode accessMode, eLockingMode lockingMode)
{
    if (m_status != eStatusClosed)
        close();
    if (accessMode < eAccessRead || accessMode > eAccessReadWrite)
        return false;
    if (accessMode == eAccessWrite && (name.mode != FileName::eFile || name.type == nullptr))
        return false;
    m_file = openFile(name, accessMode);
    if (m_file == nullptr) {
        m_status = eStatusError;
        return false;
    }
    if (lockingMode != eLockNone && !lock(lockingMode)) {
        std::fclose(m_file);
        m_file = nullptr;
        m_status = eStatusError;
        return false;
    }
    m_locked = lockingMode != eLockNone;
    m_accessMode = accessMode;
    m_status = eStatusOk;
    m_name = name;
    m_fileSize = FileManager::getFileSize(name);
    m_direction = Direction::None;
    return true;
}

bool FileStorage::lock(eLockingMode lockingMode)
{
    const int descriptor = fileno(m_file);
    if (descriptor < 0)
        return false;
    const int operation = lockingMode == eLockExclusiveNoWait ? LOCK_EX | LOCK_NB : LOCK_EX;
    int result;
    do
        result = flock(descriptor, operation);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

void FileStorage::unlock()
{
    std::fflush(m_file);
    const int descriptor = fileno(m_file);
    if (descriptor >= 0)
        flock(descriptor, LOCK_UN | LOCK_NB);
}

void FileStorage::close()
{
    if (m_status == eStatusClosed)
        return;
    if (m_file != nullptr) {
        if (m_locked)
            unlock();
        std::fclose(m_file);
    }
    m_file = nullptr;
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
    m_fileSize = 0;
    m_name.clear();
    m_locked = false;
    m_direction = Direction::None;
}

void FileStorage::turnTo(Direction direction)
{
    if (m_direction != Direction::None && m_direction != direction)
        fseeko(m_file, 0, SEEK_CUR);
    m_direction = direction;
}

size_t FileStorage::read(void* buffer, size_t count)
{
    if (!isUsable() || m_file == nullptr)
        return 0;
    turnTo(Direction::Reading);
    const size_t got = std::fread(buffer, 1, count, m_file);
    if (got < count)
        m_status = eStatusError;
    else if (std::feof(m_file))
        m_status = eStatusEnd;
    else if (m_status != eStatusEnd)
        m_status = eStatusOk;
    return got;
}

size_t FileStorage::write(const void* data, size_t count)
{
    if (!isUsable() || m_file == nullptr)
        return 0;
    turnTo(Direction::Writing);
    if (std::fwrite(data, 1, count, m_file) == count) {
        m_status = eStatusOk;
        return count;
    }
    m_status = eStatusError;
    return 0;
}

int64_t FileStorage::getPos64() const
{
    if (m_status == eStatusClosed || m_file == nullptr)
        return -1;
    const int64_t position = ftello(m_file);
    if (position < 0)
        const_cast<FileStorage*>(this)->m_status = eStatusError;
    return position;
}

void FileStorage::seek64(int64_t offset, eSeekMode origin)
{
    if (origin == eSeekCurrent && !isUsable())
        return;
    if (m_file == nullptr) {
        m_status = eStatusError;
        return;
    }
    if (origin < eSeekBegin || origin > eSeekEnd)
        return;
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (fseeko(m_file, static_cast<off_t>(offset), whence[origin]) != 0) {
        m_status = eStatusError;
        return;
    }
    m_direction = Direction::None;
    if (m_status != eStatusOk && m_status != eStatusEnd)
        m_status = eStatusOk;
}

} // namespace BAS
} // namespace CV
