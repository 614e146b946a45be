#pragma once
// A storage over a file, opened by its POSIX path through stdio, with an
// optional exclusive lock (flock) on the file. flock locks belong to the open
// file, so two storages on one file conflict also inside one process.
#include "BAS/FileName.h"
#include "BAS/IStorage.h"

#include <cstdio>

namespace CV {
namespace BAS {

class FileStorage : public IStorage {
public:
    FileStorage() = default;
    ~FileStorage() override;

    // Closes an open storage first. Read opens an existing file; write
    // creates or truncates the file a file-mode name with a type names (any
    // other name is refused, nothing touched); read-write creates it when
    // missing. A failed open leaves status error until close; a lock that
    // cannot be taken (mode 1: held elsewhere) fails the open.
    bool open(const FileName& name, eAccessMode accessMode, eLockingMode lockingMode);
    // Unlocks and closes; status closed.
    void close();

    // A short read returns what it got with status error; a complete one
    // that hit the end of the file gives status end.
    size_t read(void* buffer, size_t count) override;
    // All or nothing: a short write returns 0 with status error.
    size_t write(const void* data, size_t count) override;
    int64_t getPos64() const override;
    // Origin end adds the signed offset to the file's end. A successful seek
    // clears an error; a failed one sets it.
    void seek64(int64_t offset, eSeekMode origin) override;

    const FileName& getFileName() const { return m_name; }
    // The size found at open.
    int64_t getFileSize() const { return m_fileSize; }
    bool isLocked() const { return m_locked; }

private:
    enum class Direction { None, Reading, Writing };

    FILE* openFile(const FileName& name, eAccessMode accessMode) const;
    bool lock(eLockingMode lockingMode);
    void unlock();
    // stdio needs a seek between reading and writing on one stream.
    void turnTo(Direction direction);

    FileName m_name;
    FILE* m_file = nullptr;
    int64_t m_fileSize = 0;
    bool m_locked = false;
    Direction m_direction = Direction::None;
};

} // namespace BAS
} // namespace CV
