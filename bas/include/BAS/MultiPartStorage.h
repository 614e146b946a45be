#pragma once
// A storage over an ordered list of part storages whose bytes follow each
// other in one logical position space. Subclasses say how a part is opened
// and how large it is; a slot owns its part storage, an empty slot is a
// part not opened yet.
//
// Reads run across part boundaries; a read that ends exactly at the end of
// a part reports the end (status 2), the next read continues in the
// following part. A read past the last part delivers what is there, with
// status 3 and no part current. Writing (access mode with bit 2) fills each
// part up to the maximum part size and then moves on to the next part.
#include "BAS/IStorage.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace CV {
namespace BAS {

template <class PartStorage> class MultiPartStorage : public IStorage {
public:
    static constexpr int64_t UNLIMITED = std::numeric_limits<int64_t>::max();

    MultiPartStorage() = default;
    ~MultiPartStorage() override = default;

    bool isOpen() const override { return !m_parts.empty(); }
    size_t read(void* buffer, size_t count) override;
    size_t write(const void* data, size_t count) override;
    int64_t getPos64() const override;
    void seek64(int64_t offset, eSeekMode origin) override;

    virtual bool openPart(int index) = 0;
    virtual void closePart(int index)
    {
        if (index >= 0 && size_t(index) < m_parts.size())
            m_parts[size_t(index)].reset();
    }
    virtual void close()
    {
        m_parts.clear();
        m_currentPartIndex = -1;
        m_currentPartOffset = 0;
        m_accessMode = eAccessNone;
        m_status = eStatusClosed;
    }
    virtual void flush() { }
    // Sum of the part sizes; clears the written flag.
    virtual int64_t getCurrentStorageSize()
    {
        int64_t size = 0;
        for (size_t i = 0; i < m_parts.size(); ++i)
            size += getPartSize(int(i));
        m_written = false;
        return size;
    }
    virtual int64_t getMaxAllowedStorageSize() const { return m_maxStorageSize; }
    virtual void setMaxAllowedStorageSize(int64_t size) { m_maxStorageSize = size; }
    virtual int64_t getMaxAllowedPartSize() const { return m_maxPartSize; }
    virtual void setMaxAllowedPartSize(int64_t size) { m_maxPartSize = size; }
    virtual int64_t getMaxAllowedPartCount() const { return m_maxPartCount; }
    virtual void setMaxAllowedPartCount(int64_t count) { m_maxPartCount = count; }
    // The part that holds a logical position and the position of its first
    // byte; a position at the end of a part belongs to the next one when
    // that exists (or may be created).
    virtual bool getPartIndexForPosition(int64_t position, int64_t& index, int64_t& partStart) = 0;
    virtual int64_t getMaximumPartSizeForCurrentMode(int index)
    {
        return isWriting() ? m_maxPartSize : getPartSize(index);
    }
    // The bytes the part holds; 0 for a missing or empty slot.
    virtual int64_t getPartSize(int index)
    {
        PartStorage* part = partAt(index);
        if (!part || !part->isUsable())
            return 0;
        const int64_t position = part->getPos64();
        part->seek64(0, eSeekEnd);
        const int64_t size = part->getPos64();
        part->seek64(position, eSeekBegin);
        return std::max<int64_t>(size, 0);
    }
    // The logical position of the part's first byte.
    virtual int64_t getPartOffset(int index)
    {
        int64_t offset = 0;
        for (int i = 0; i < index && size_t(i) < m_parts.size(); ++i)
            offset += getPartSize(i);
        return offset;
    }

    // Makes the part current and moves it to its first byte.
    bool openPartStorageAt(int index);

    int getCurrentPartIndex() const { return m_currentPartIndex; }
    size_t getPartCount() const { return m_parts.size(); }

protected:
    bool isWriting() const { return (m_accessMode & eAccessWrite) != 0; }
    PartStorage* partAt(int index) const
    {
        return index >= 0 && size_t(index) < m_parts.size() ? m_parts[size_t(index)].get() : nullptr;
    }
    PartStorage* currentPart() const { return partAt(m_currentPartIndex); }
    void makeCurrent(int index)
    {
        m_currentPartIndex = index;
        m_currentPartOffset = getPartOffset(index);
    }
    void loseCurrentPart()
    {
        m_currentPartIndex = -1;
        m_status = eStatusError;
    }
    void growSlots(size_t count)
    {
        if (m_parts.size() < count)
            m_parts.resize(count);
    }

    std::vector<std::unique_ptr<PartStorage>> m_parts;
    int64_t m_maxStorageSize = UNLIMITED;
    int64_t m_maxPartCount = UNLIMITED;
    int64_t m_maxPartSize = UNLIMITED;
    int64_t m_currentPartOffset = 0;
    int32_t m_currentPartIndex = -1;
    bool m_written = false;
};

template <class PartStorage> bool MultiPartStorage<PartStorage>::openPartStorageAt(int index)
{
    if (index < 0)
        return false;
    if (size_t(index) >= m_parts.size() && !isWriting())
        return false;
    if (!partAt(index) && !openPart(index)) {
        closePart(index);
        m_currentPartIndex = 0;
        m_currentPartOffset = 0;
        m_status = eStatusError;
        return false;
    }
    makeCurrent(index);
    PartStorage* part = currentPart();
    part->seek64(0, eSeekBegin);
    return part->isUsable();
}

template <class PartStorage> size_t MultiPartStorage<PartStorage>::read(void* buffer, size_t count)
{
    if (!currentPart() && !openPartStorageAt(0)) {
        loseCurrentPart();
        return 0;
    }
    unsigned char* out = static_cast<unsigned char*>(buffer);
    size_t total = 0;
    for (;;) {
        PartStorage* part = currentPart();
        if (!part)
            return total;
        const int64_t position = std::max<int64_t>(part->getPos64(), 0);
        const uint64_t left = uint64_t(std::max(getPartSize(m_currentPartIndex), position) - position);
        if (left >= count) {
            const size_t got = part->read(out, count);
            m_status = got < count ? eStatusError : left == count ? eStatusEnd : eStatusOk;
            return total + got;
        }
        if (left == 0) {
            const int next = m_currentPartIndex + 1;
            if (size_t(next) >= m_parts.size()) {
                m_status = eStatusEnd;
                return total;
            }
            if (!openPartStorageAt(next)) {
                loseCurrentPart();
                return total;
            }
            continue;
        }
        const size_t got = part->read(out, size_t(left));
        total += got;
        if (got < left || !openPartStorageAt(m_currentPartIndex + 1)) {
            loseCurrentPart();
            return total;
        }
        out += got;
        count -= got;
    }
}

template <class PartStorage> size_t MultiPartStorage<PartStorage>::write(const void* data, size_t count)
{
    if (!currentPart() && !openPartStorageAt(0)) {
        loseCurrentPart();
        return 0;
    }
    if (count == 0) {
        m_status = eStatusError;
        return 0;
    }
    const unsigned char* in = static_cast<const unsigned char*>(data);
    size_t total = 0;
    while (count > 0 && m_currentPartIndex >= 0) {
        if (!currentPart()) {
            if (!openPart(m_currentPartIndex)) {
                closePart(m_currentPartIndex);
                m_status = eStatusError;
                return 0;
            }
            currentPart()->seek64(0, eSeekBegin);
        }
        PartStorage* part = currentPart();
        const int64_t position = std::max<int64_t>(part->getPos64(), 0);
        const int64_t room = std::max(getMaximumPartSizeForCurrentMode(m_currentPartIndex), position) - position;
        if (room > 0 && uint64_t(room) >= count) {
            m_written = true;
            return total + part->write(in, count);
        }
        if (room > 0) {
            const size_t piece = size_t(room);
            if (part->write(in, piece) < piece) {
                m_status = eStatusError;
                return 0;
            }
            total += piece;
            in += piece;
            count -= piece;
            continue;
        }
        if (!openPartStorageAt(m_currentPartIndex + 1)) {
            loseCurrentPart();
            return 0;
        }
    }
    if (total == 0) {
        m_status = eStatusError;
        return 0;
    }
    m_written = true;
    m_status = eStatusOk;
    return total;
}

template <class PartStorage> int64_t MultiPartStorage<PartStorage>::getPos64() const
{
    if (m_currentPartIndex < 0 || size_t(m_currentPartIndex) >= m_parts.size())
        return -1;
    const PartStorage* part = currentPart();
    if (!part)
        return 0;
    return part->getPos64() + m_currentPartOffset;
}

template <class PartStorage> void MultiPartStorage<PartStorage>::seek64(int64_t offset, eSeekMode origin)
{
    int64_t target = 0;
    switch (origin) {
    case eSeekBegin: target = offset; break;
    case eSeekCurrent: {
        const int64_t position = getPos64();
        target = position < 0 ? offset : position + offset;
        break;
    }
    case eSeekEnd: target = getCurrentStorageSize() - offset; break;
    default: return;
    }
    if (target < 0) {
        m_status = eStatusError;
        return;
    }
    int64_t partStart = 0;
    for (int index = 0;; ++index) {
        if (size_t(index) >= m_parts.size()) {
            if (!isWriting()) {
                loseCurrentPart();
                return;
            }
            growSlots(size_t(index) + 1);
        }
        if (!partAt(index) && !openPart(index)) {
            loseCurrentPart();
            return;
        }
        m_currentPartIndex = index;
        m_currentPartOffset = partStart;
        const int64_t size = getPartSize(index);
        if (target <= partStart + size) {
            PartStorage* part = currentPart();
            part->seek64(target - partStart, eSeekBegin);
            m_status = part->isUsable() ? eStatusOk : eStatusError;
            return;
        }
        if (size == 0) {
            m_status = eStatusError;
            return;
        }
        partStart += size;
    }
}

} // namespace BAS
} // namespace CV
