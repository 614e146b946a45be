#include "FEN/JPGScanCounter.h"

#include <cstring>
#include <vector>

namespace CV {
namespace FEN {

namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kTemporary = 0x01;
constexpr uint8_t kFirstRestart = 0xD0;
constexpr uint8_t kLastRestart = 0xD7;
// The read-ahead's block.
constexpr size_t kBlockSize = 16384;

} // namespace

bool JPGScanCounter::takesNoLength(uint8_t code)
{
    return code == 0x00 || code == kTemporary || code == kStartOfImage ||
        (code >= kFirstRestart && code <= kLastRestart);
}

void JPGScanCounter::walkMarker(uint8_t code)
{
    if (code == 0xFF)
        return; // a fill byte: the marker code follows
    if (code == kEndOfImage)
        m_state = State::Done;
    else if (takesNoLength(code))
        m_state = State::Data;
    else {
        if (code == kStartOfScan)
            ++m_scans;
        m_state = State::LengthHigh;
    }
}

void JPGScanCounter::walkLengthLow(uint8_t low)
{
    m_left |= low;
    if (m_left < 2) {
        m_state = State::Done;
        return;
    }
    m_left -= 2;
    m_state = m_left ? State::Segment : State::Data;
}

size_t JPGScanCounter::walkStep(uint8_t const* data, size_t size)
{
    switch (m_state) {
    case State::Data: {
        void const* mark = std::memchr(data, 0xFF, size);
        if (!mark)
            return size;
        m_state = State::Marker;
        return size_t(static_cast<uint8_t const*>(mark) - data) + 1;
    }
    case State::Marker: walkMarker(data[0]); return 1;
    case State::LengthHigh:
        m_left = uint32_t(data[0]) << 8;
        m_state = State::LengthLow;
        return 1;
    case State::LengthLow: walkLengthLow(data[0]); return 1;
    case State::Segment: {
        size_t const passed = size < m_left ? size : m_left;
        m_left -= uint32_t(passed);
        if (!m_left)
            m_state = State::Data;
        return passed;
    }
    case State::Done: break;
    }
    return size;
}

void JPGScanCounter::walk(uint8_t const* data, size_t size)
{
    while (size > 0 && m_state != State::Done) {
        size_t const taken = walkStep(data, size);
        data += taken;
        size -= taken;
    }
}

void JPGScanCounter::walkStorage(BAS::IStorage& storage, int stopAbove)
{
    std::vector<uint8_t> block(kBlockSize);
    while (!isDone() && m_scans <= stopAbove && storage.isUsable()) {
        size_t const got = storage.read(block.data(), block.size());
        if (got == 0)
            break;
        walk(block.data(), got);
    }
}

JPGScanCounter::Ahead JPGScanCounter::countRest(jpeg_source_mgr const& source, BAS::Stream& stream, int scansSoFar,
                                                int stopAbove)
{
    JPGScanCounter counter(scansSoFar);
    counter.walk(source.next_input_byte, source.bytes_in_buffer);
    BAS::IStorage* storage = stream.getStorage();
    // A storage that can give no more bytes has left them all in the source.
    if (counter.isDone() || counter.scans() > stopAbove || !storage || !storage->isUsable())
        return {Outcome::Counted, counter.scans()};
    int64_t const position = storage->getPos64();
    if (position < 0)
        return {Outcome::PositionUnknown, counter.scans()};
    counter.walkStorage(*storage, stopAbove);
    storage->seek64(position, BAS::IStorage::eSeekBegin);
    if (!storage->isUsable() || storage->getPos64() != position)
        return {Outcome::StreamLost, counter.scans()};
    return {Outcome::Counted, counter.scans()};
}

} // namespace FEN
} // namespace CV
