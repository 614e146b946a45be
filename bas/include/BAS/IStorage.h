#pragma once
// A random-access byte source or sink with a position and a status word.
//
// The status word is the storage's only channel for trouble: callers test it
// after their reads and writes. A storage is usable when its status is ok or
// end reached; reads and writes in any other status are refused (result 0,
// status unchanged). A storage whose open failed (status error) counts as
// open until it is closed.
#include <cstddef>
#include <cstdint>

namespace CV {
namespace BAS {

class IStorage {
public:
    enum eAccessMode : int32_t {
        eAccessNone = 0,
        eAccessRead = 1,
        eAccessWrite = 2, // create or truncate
        eAccessReadWrite = 3, // create when missing
    };

    enum eLockingMode : int32_t {
        eLockNone = 0,
        eLockExclusiveNoWait = 1, // fails at once when held elsewhere
        eLockExclusiveWait = 2, // waits until the lock is free
    };

    enum eSeekMode : int32_t {
        eSeekBegin = 0,
        eSeekCurrent = 1,
        eSeekEnd = 2,
    };

    enum eStatus : int32_t {
        eStatusClosed = 0, // never opened, or closed
        eStatusOk = 1, // open, the last operation succeeded
        eStatusEnd = 2, // open, the end of the data has been reached
        eStatusError = 3, // failed open, short read or write, bad seek
    };

    IStorage() = default;
    IStorage(const IStorage&) = delete;
    IStorage& operator=(const IStorage&) = delete;
    virtual ~IStorage() = default;

    virtual bool isOpen() const { return m_status != eStatusClosed; }
    virtual size_t read(void* buffer, size_t count) = 0;
    virtual size_t write(const void* data, size_t count) = 0;
    // The 64-bit position cut to 32 bits.
    virtual int getPos() const { return static_cast<int>(getPos64()); }
    virtual int64_t getPos64() const = 0;
    virtual void seek(int offset, eSeekMode origin) { seek64(offset, origin); }
    virtual void seek64(int64_t offset, eSeekMode origin) = 0;

    int32_t getStatus() const { return m_status; }
    eAccessMode getAccessMode() const { return m_accessMode; }
    bool isUsable() const { return m_status == eStatusOk || m_status == eStatusEnd; }

protected:
    eAccessMode m_accessMode = eAccessNone;
    int32_t m_status = eStatusClosed;
};

} // namespace BAS
} // namespace CV
