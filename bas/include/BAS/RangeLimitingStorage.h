#pragma once
// A window [start, start + length) onto another storage; a length of 0 means
// no upper limit. Positions are relative to the window's start, and reads and
// writes stop at its end, setting the status as any storage does at its end:
// error when fewer bytes than asked were transferred, end when the transfer
// ended at the window's end. Origin end takes a non-negative distance back
// from the end of the window.
#include "BAS/IStorage.h"

namespace CV {
namespace BAS {

class RangeLimitingStorage : public IStorage {
public:
    RangeLimitingStorage() = default;
    ~RangeLimitingStorage() override;

    // Lays the window onto an open inner storage and moves the inner
    // position to the window's start; the access mode is the inner one.
    // False (and the window closed) for no or an unusable inner storage, a
    // negative start or length, or when the inner storage cannot be moved
    // to the start. With ownsInner the window deletes the inner storage when
    // it is closed or destroyed, also when opening fails.
    bool open(IStorage* inner, bool ownsInner, int64_t start, int64_t length);
    // Empties the window: no inner storage (deleted when owned), status 0.
    void close();

    size_t read(void* buffer, size_t count) override;
    size_t write(const void* data, size_t count) override;
    // -1 when the inner position lies outside the window; its end is a
    // valid position.
    int64_t getPos64() const override;
    void seek64(int64_t offset, eSeekMode origin) override;

    int64_t getStart() const { return m_start; }
    int64_t getLength() const { return m_length; }

protected:
    // The count cut to what is left of the window at the inner position; 0
    // when the inner position lies outside the window.
    size_t clipToWindow(size_t count) const;
    void noteTransfer(size_t asked, size_t done);
    bool seekEndOfUnboundedWindow(int64_t distance);
    void takeStatusAfterSeek();

    IStorage* m_inner = nullptr;
    bool m_ownsInner = false;
    int64_t m_start = 0;
    int64_t m_length = 0;
};

} // namespace BAS
} // namespace CV
