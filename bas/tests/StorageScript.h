#pragma once
// Runs a table of storage operations and checks the result, status and
// position after each, and that reads deliver the bytes the storage shows
// at that position.
#include "BAS/IStorage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace storage_test {

using CV::BAS::IStorage;

enum class Op { Read, Write, Seek };

struct Step {
    Op op;
    int64_t amount; // bytes to read or write, or the seek offset
    IStorage::eSeekMode origin;
    int64_t result; // bytes transferred (ignored for seeks)
    int32_t status;
    int64_t position;
};

constexpr IStorage::eSeekMode kFromBegin = IStorage::eSeekBegin;
constexpr IStorage::eSeekMode kFromCurrent = IStorage::eSeekCurrent;
constexpr IStorage::eSeekMode kFromEnd = IStorage::eSeekEnd;

constexpr int32_t kClosed = IStorage::eStatusClosed;
constexpr int32_t kOk = IStorage::eStatusOk;
constexpr int32_t kEnd = IStorage::eStatusEnd;
constexpr int32_t kError = IStorage::eStatusError;

inline Step read(int64_t count, int64_t result, int32_t status, int64_t position)
{
    return {Op::Read, count, kFromBegin, result, status, position};
}

inline Step write(int64_t count, int64_t result, int32_t status, int64_t position)
{
    return {Op::Write, count, kFromBegin, result, status, position};
}

inline Step seek(int64_t offset, IStorage::eSeekMode origin, int32_t status, int64_t position)
{
    return {Op::Seek, offset, origin, 0, status, position};
}

// The bytes written by Op::Write steps: 'w', 'x', 'y', ...
inline std::string writePattern(size_t count)
{
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>('w' + i % 4);
    return bytes;
}

// content: the bytes the storage shows, from its position 0 on; reads are
// compared with it, and the script's writes are applied to it.
inline void runScript(IStorage& storage, const std::vector<Step>& steps, std::string content)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        const int64_t before = storage.getPos64();
        switch (step.op) {
        case Op::Read: {
            std::string buffer(static_cast<size_t>(step.amount), '\0');
            const size_t got = storage.read(&buffer[0], buffer.size());
            EXPECT_EQ(static_cast<int64_t>(got), step.result);
            if (before >= 0 && static_cast<size_t>(before) <= content.size()) {
                EXPECT_EQ(buffer.substr(0, got), content.substr(static_cast<size_t>(before), got));
            }
            break;
        }
        case Op::Write: {
            const std::string bytes = writePattern(static_cast<size_t>(step.amount));
            const size_t done = storage.write(bytes.data(), bytes.size());
            EXPECT_EQ(static_cast<int64_t>(done), step.result);
            if (before >= 0 && static_cast<size_t>(before) + done <= content.size())
                content.replace(static_cast<size_t>(before), done, bytes.substr(0, done));
            break;
        }
        case Op::Seek: storage.seek64(step.amount, step.origin); break;
        }
        EXPECT_EQ(storage.getStatus(), step.status);
        EXPECT_EQ(storage.getPos64(), step.position);
    }
}

// "0123456789abcdef..." repeated to the size.
inline std::string numberedBytes(size_t size)
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = digits[i % 36];
    return bytes;
}

} // namespace storage_test
