// TGA files (true-colour, plain or run-length, 32, 24 or 16 bits) into
// pictures.
#include <algorithm>
#include <cstring>
#include <vector>

#include "BAS/IStorage.h"
#include "BAS/Stream.h"
#include "FEN/Picture.h"

namespace CV {
namespace FEN {

namespace {

enum : uint8_t {
    kTypeTrueColour = 2,
    kTypeRunLengthTrueColour = 10,
    kDescriptorTopDown = 0x20,
};

struct TGAHeader {
    uint8_t idLength;
    uint8_t colourMapType;
    uint8_t imageType;
    uint16_t colourMapFirst;
    uint16_t colourMapLength;
    uint8_t colourMapEntryBits;
    uint16_t xOrigin;
    uint16_t yOrigin;
    uint16_t width;
    uint16_t height;
    uint8_t depth;
    uint8_t descriptor;
};

bool streamIntact(BAS::Stream& stream)
{
    BAS::IStorage* storage = stream.getStorage();
    return storage && storage->isUsable();
}

bool readHeader(BAS::Stream& stream, TGAHeader& h)
{
    h.idLength = stream.readU8();
    h.colourMapType = stream.readU8();
    h.imageType = stream.readU8();
    h.colourMapFirst = stream.readU16();
    h.colourMapLength = stream.readU16();
    h.colourMapEntryBits = stream.readU8();
    h.xOrigin = stream.readU16();
    h.yOrigin = stream.readU16();
    h.width = stream.readU16();
    h.height = stream.readU16();
    h.depth = stream.readU8();
    h.descriptor = stream.readU8();
    return streamIntact(stream);
}

bool readExactly(BAS::Stream& stream, void* buffer, size_t count)
{
    return stream.readRaw(buffer, count) == count;
}

bool skipBytes(BAS::Stream& stream, size_t count)
{
    uint8_t scratch[256];
    while (count > 0) {
        size_t const chunk = std::min(count, sizeof scratch);
        if (!readExactly(stream, scratch, chunk))
            return false;
        count -= chunk;
    }
    return true;
}

// The image id and the colour map sit between the header and the pixels;
// a true-colour image does not use its map.
bool skipIdAndColourMap(BAS::Stream& stream, TGAHeader const& h)
{
    if (h.colourMapType > 1)
        return false;
    size_t const mapBytes = h.colourMapType ? size_t(h.colourMapLength) * ((h.colourMapEntryBits + 7u) / 8u) : 0;
    return skipBytes(stream, h.idLength + mapBytes);
}

// File pixels of 4, 3 or 2 bytes, in the stream's byte order for the word
// sizes, to the system's B, G, R, A words.
class PixelDecoder {
public:
    PixelDecoder(unsigned bytesPerPixel, bool swapWords)
        : m_bytes(bytesPerPixel)
        , m_swap(swapWords)
    {
    }

    unsigned bytes() const { return m_bytes; }
    // The file's words are already the system's.
    bool isIdentity() const { return m_bytes == 4 && !m_swap; }

    uint32_t operator()(uint8_t const* p) const
    {
        switch (m_bytes) {
        case 4: {
            uint32_t const word = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
            return m_swap ? swap32(word) : word;
        }
        case 3: return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        default: return fromWord16(m_swap ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]));
        }
    }

private:
    static uint32_t swap32(uint32_t w) { return (w >> 24) | ((w >> 8) & 0xFF00u) | ((w << 8) & 0xFF0000u) | (w << 24); }

    // Bits 0-4 blue, 5-9 green, 10-14 red; a word of 0 is transparent.
    static uint32_t fromWord16(uint16_t w)
    {
        if (w == 0)
            return 0;
        uint32_t const b = (w & 0x1Fu) << 3;
        uint32_t const g = ((w >> 5) & 0x1Fu) << 3;
        uint32_t const r = ((w >> 10) & 0x1Fu) << 3;
        return 0xFF000000u | r << 16 | g << 8 | b;
    }

    unsigned m_bytes;
    bool m_swap;
};

// Plain pixel data: read into the tail of the picture's own buffer and
// expanded in place from the front (a word never overtakes unread bytes).
bool readPlainPixels(BAS::Stream& stream, Picture& picture, PixelDecoder const& decode)
{
    size_t const count = size_t(picture.getWidth()) * size_t(picture.getHeight());
    uint8_t* const buffer = reinterpret_cast<uint8_t*>(picture.getPixels());
    size_t const fileBytes = count * decode.bytes();
    uint8_t* const tail = buffer + count * 4 - fileBytes;
    if (!readExactly(stream, tail, fileBytes))
        return false;
    if (decode.isIdentity())
        return true;
    uint32_t* pixels = picture.getPixels();
    uint8_t const* source = tail;
    for (size_t i = 0; i < count; ++i, source += decode.bytes())
        pixels[i] = decode(source);
    return true;
}

// Run-length packets: a header byte below 0x80 announces that many plus
// one literal pixels, one from 0x80 up a single pixel repeated (h - 127)
// times. A packet that runs past the last pixel is cut there.
bool readRunLengthPixels(BAS::Stream& stream, Picture& picture, PixelDecoder const& decode)
{
    size_t const count = size_t(picture.getWidth()) * size_t(picture.getHeight());
    uint32_t* pixels = picture.getPixels();
    uint8_t packet[128 * 4];
    size_t filled = 0;
    while (filled < count) {
        uint8_t header = 0;
        if (!readExactly(stream, &header, 1))
            return false;
        size_t const length = std::min<size_t>((header & 0x7Fu) + 1u, count - filled);
        if (header & 0x80u) {
            if (!readExactly(stream, packet, decode.bytes()))
                return false;
            std::fill_n(pixels + filled, length, decode(packet));
        } else {
            if (!readExactly(stream, packet, length * decode.bytes()))
                return false;
            for (size_t i = 0; i < length; ++i)
                pixels[filled + i] = decode(packet + i * decode.bytes());
        }
        filled += length;
    }
    return true;
}

void flipRows(Picture& picture)
{
    int const height = picture.getHeight();
    size_t const width = size_t(picture.getWidth());
    std::vector<uint32_t> temporary(width);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::memcpy(temporary.data(), picture.pixelRow(top), width * 4);
        std::memcpy(picture.pixelRow(top), picture.pixelRow(bottom), width * 4);
        std::memcpy(picture.pixelRow(bottom), temporary.data(), width * 4);
    }
}

bool anyPixelTranslucent(Picture const& picture)
{
    uint32_t const* pixels = picture.getPixels();
    size_t const count = size_t(picture.getWidth()) * size_t(picture.getHeight());
    return std::any_of(pixels, pixels + count, [](uint32_t p) { return p < 0xFF000000u; });
}

} // namespace

bool Picture::readTGA(BAS::Stream& stream, eOrientation, bool detectAlpha)
{
    m_refusedSize = tDeclaredSize{};
    m_readFailure.clear();
    TGAHeader h;
    if (!readHeader(stream, h))
        return false;
    if (h.imageType != kTypeTrueColour && h.imageType != kTypeRunLengthTrueColour)
        return false;
    if (h.width == 0 || h.height == 0 || (h.depth != 32 && h.depth != 24 && h.depth != 16))
        return false;
    if (!acceptDeclaredSize(h.width, h.height))
        return false;
    if (!skipIdAndColourMap(stream, h))
        return false;
    if (!setSize(h.width, h.height, true))
        return false;
    PixelDecoder const decode(h.depth / 8u, stream.getByteOrder() != BAS::Endian::eLittleEndian);
    bool const decoded = h.imageType == kTypeTrueColour ? readPlainPixels(stream, *this, decode)
                                                        : readRunLengthPixels(stream, *this, decode);
    if (!decoded)
        return false;
    if (!(h.descriptor & kDescriptorTopDown))
        flipRows(*this);
    if (detectAlpha)
        setAlphaChannel(h.depth != 24 && anyPixelTranslucent(*this));
    return true;
}

} // namespace FEN
} // namespace CV
