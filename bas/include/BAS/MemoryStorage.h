#pragma once
// A storage over a caller's memory block. The block is never owned, freed or
// grown: reads and writes stop at its end.
#include "BAS/IStorage.h"

namespace CV {
namespace BAS {

class MemoryStorage : public IStorage {
public:
    MemoryStorage() = default;

    // Opens the storage over the block: position 0, status ok. May be called
    // again to point the storage at another block. Always true.
    bool init(eAccessMode accessMode, void* data, size_t size);

    // A read or write that passes the end of the block transfers what is
    // left and sets status error; one that ends at the end sets status end.
    size_t read(void* buffer, size_t count) override;
    // Refused with status error when the storage is read only.
    size_t write(const void* data, size_t count) override;
    int64_t getPos64() const override;
    // A target outside the block sets status error and keeps the position;
    // the end of the block gives status end. Origin end adds the signed
    // offset to the size.
    void seek64(int64_t offset, eSeekMode origin) override;

    const void* getData() const { return m_data; }
    size_t getSize() const { return m_size; }

private:
    size_t clipToBlock(size_t count);
    void noteEndReached();

    unsigned char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_position = 0;
};

} // namespace BAS
} // namespace CV
