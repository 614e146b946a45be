// The multi-part storage's reading and seeking over parts in memory.
#include "BAS/MultiPartStorage.h"
#include "BAS/MemoryStorage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using CV::BAS::IStorage;
using CV::BAS::MemoryStorage;
using CV::BAS::MultiPartStorage;

// The multi-part reading and seeking over three parts of 100, 50 and 80
// bytes.
class ThreeParts : public MultiPartStorage<MemoryStorage> {
public:
    ThreeParts()
    {
        for (size_t i = 0; i < 230; ++i)
            m_bytes.push_back(char(i));
        growSlots(3);
        m_accessMode = eAccessRead;
        m_status = eStatusOk;
    }
    bool openPart(int index) override
    {
        static const size_t starts[] = {0, 100, 150, 230};
        if (index < 0 || index > 2)
            return false;
        std::unique_ptr<MemoryStorage> part(new MemoryStorage());
        part->init(eAccessRead, &m_bytes[starts[index]], starts[index + 1] - starts[index]);
        m_parts[size_t(index)] = std::move(part);
        makeCurrent(index);
        return true;
    }
    bool getPartIndexForPosition(int64_t, int64_t&, int64_t&) override { return false; }

    std::string m_bytes;
};

TEST(MultiPartStorage, ReadsAcrossAndAtPartBoundaries)
{
    struct Case {
        int64_t position;
        size_t count;
        size_t delivered;
        int32_t status;
        int afterPart; // current part afterwards
    };
    const Case cases[] = {
        {80, 60, 60, IStorage::eStatusOk, 1}, // 20 bytes of part 0, 40 of part 1
        {130, 20, 20, IStorage::eStatusEnd, 1}, // ends exactly at the end of part 1
        {100, 50, 50, IStorage::eStatusEnd, 1}, // all of part 1
        {0, 230, 230, IStorage::eStatusEnd, 2}, // everything
        {90, 100, 100, IStorage::eStatusOk, 2}, // across both boundaries
        {200, 40, 30, IStorage::eStatusError, -1}, // past the end
        {230, 1, 0, IStorage::eStatusEnd, 2}, // at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.position << " read " << c.count);
        ThreeParts storage;
        EXPECT_EQ(storage.getCurrentStorageSize(), 0); // no part open yet
        storage.seek64(c.position, IStorage::eSeekBegin);
        ASSERT_EQ(storage.getPos64(), c.position);
        std::string buffer(c.count, '\0');
        ASSERT_EQ(storage.read(&buffer[0], c.count), c.delivered);
        EXPECT_EQ(buffer.substr(0, c.delivered), storage.m_bytes.substr(size_t(c.position), c.delivered));
        EXPECT_EQ(storage.getStatus(), c.status);
        EXPECT_EQ(storage.getCurrentPartIndex(), c.afterPart);
    }

    ThreeParts storage;
    storage.seek64(130, IStorage::eSeekBegin);
    std::string buffer(20, '\0');
    storage.read(&buffer[0], 20);
    storage.read(&buffer[0], 10); // continues in part 2
    EXPECT_EQ(buffer.substr(0, 10), storage.m_bytes.substr(150, 10));
    EXPECT_EQ(storage.getPos64(), 160);
    EXPECT_EQ(storage.getCurrentStorageSize(), 230);
    storage.seek64(0, IStorage::eSeekEnd);
    EXPECT_EQ(storage.getPos64(), 230);
    storage.seek64(231, IStorage::eSeekBegin);
    EXPECT_EQ(storage.getStatus(), IStorage::eStatusError);
}

} // namespace
