#pragma once
// Counts the scans of a JPEG stream by walking its marker structure without
// decoding: each start-of-scan marker is a scan. Entropy-coded data is
// passed over as libjpeg passes it (0xFF 0x00 is a stuffed byte, 0xFF
// 0xD0..0xD7 a restart marker, 0xFF fill bytes may repeat before a marker),
// segments by their length. The walk ends at the end marker, at a length
// too small for its own field, or with the data.
//
// The reader counts the scans a progressive file has still to come before
// its decoder starts: each scan walks the whole picture, so a small file of
// thousands of empty scans is refused in the time of a small picture.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "BAS/Stream.h"

namespace CV {
namespace FEN {

class JPGScanCounter {
public:
    // scansSoFar: the scans before the first byte walked (1 when the walk
    // starts in the data of the first scan).
    explicit JPGScanCounter(int scansSoFar = 0)
        : m_scans(scansSoFar)
    {
    }

    // Walks the next bytes, going on where the last call stopped.
    void walk(uint8_t const* data, size_t size);
    int scans() const { return m_scans; }
    // The end marker or a broken length was met: later bytes are not walked.
    bool isDone() const { return m_state == State::Done; }

    enum class Outcome {
        Counted, // scans holds the count, or a count beyond stopAbove
        PositionUnknown, // the stream's storage cannot say where it is
        StreamLost, // the storage could not be moved back
    };
    struct Ahead {
        Outcome outcome;
        int scans;
    };
    // Counts the scans of the rest of a stream a libjpeg source is reading:
    // the bytes it holds, then the storage's bytes from its position,
    // read ahead in blocks and stopping once the count passes stopAbove.
    // The storage is moved back to where it was, so the source reads on as
    // if nothing had happened.
    static Ahead countRest(jpeg_source_mgr const& source, BAS::Stream& stream, int scansSoFar, int stopAbove);

private:
    enum class State {
        Data, // looking for 0xFF
        Marker, // after 0xFF
        LengthHigh,
        LengthLow,
        Segment, // m_left bytes of the segment to pass
        Done,
    };

    static bool takesNoLength(uint8_t code);
    void walkMarker(uint8_t code);
    void walkLengthLow(uint8_t low);
    // The bytes the state at hand takes from the front of the data.
    size_t walkStep(uint8_t const* data, size_t size);
    // Walks the storage's bytes from its position, block by block.
    void walkStorage(BAS::IStorage& storage, int stopAbove);

    State m_state = State::Data;
    int m_scans;
    uint32_t m_left = 0;
};

} // namespace FEN
} // namespace CV
