#pragma once
// Image files made for the readers' tests, benchmarks and fuzz seeds:
// PNGs written with libpng, JPEGs with libjpeg (colour profiles made with
// Little CMS, carried in numbered APP2 markers).
#include <cstdint>
#include <vector>

namespace CV {
namespace FEN {
namespace test {

using Bytes = std::vector<uint8_t>;

struct PNGImage {
    int width = 0;
    int height = 0;
    int colourType = 2; // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    Bytes palette; // R, G, B per entry
    Bytes paletteAlpha; // tRNS of a palette image: alpha per entry
    bool transparentColour = false;
    uint16_t transparentGrey = 0; // tRNS of a grey image
    uint16_t transparentRGB[3] = {0, 0, 0}; // tRNS of an RGB image
    Bytes rows; // packed rows as PNG stores them (16-bit samples big-endian)
};

Bytes writePNG(PNGImage const& image);

enum class JPEGSpace { Grey, RGB, YCbCr, CMYK };

struct JPEGImage {
    int width = 0;
    int height = 0;
    JPEGSpace space = JPEGSpace::YCbCr; // of the file; the samples are grey, RGB or CMYK
    bool adobeMarker = false; // CMYK only: the samples are then stored inverted
    bool subsampled = false; // 2 x 2 chroma sampling (YCbCr)
    bool progressive = false;
    int quality = 100;
    Bytes samples; // 1, 3 or 4 bytes a pixel, top row first
    Bytes profile; // embedded ICC profile, when not empty
    int profileMarkers = 1; // spread evenly over this many APP2 markers
    int leaveOutMarker = 0; // sequence number not written (0: all written)
    int app1Size = 0; // an APP1 marker of this many filler bytes, when above 0
};

Bytes writeJPEG(JPEGImage const& image);
// A grey JPEG of 8 x 8 pixels of the value 0x80.
Bytes smallGreyJPEG();

// A grey progressive JPEG of the size given written by hand: its tables,
// then the given number of scans of the first DC band, each without data
// (the decoder takes every coefficient as 0 and walks the whole picture
// for each scan), then the end marker. 10 bytes a scan.
Bytes progressiveJPEGOfEmptyScans(int width, int height, int scans);

// libjpeg's own decoding of a whole file: its pixels as B, G, R, A rows and
// the number of the last scan it read.
struct LibraryDecoding {
    Bytes bgra;
    int scans = 0;
};
LibraryDecoding decodeWithLibrary(Bytes const& file);

// RGB profile with sRGB's primaries and white point but linear tone curves:
// an encoded 128 means linear light 0.5, sRGB about 188.
Bytes linearRGBProfile();
// A grey profile (gamma 2.2), which does not suit RGB data.
Bytes greyProfile();

// Pixels that vary smoothly and in fine detail, like a photograph.
Bytes photoLikeRGB(int width, int height);

} // namespace test
} // namespace FEN
} // namespace CV
