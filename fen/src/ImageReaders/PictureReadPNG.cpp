// PNG files into pictures through libpng.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <png.h>

#include "BAS/Stream.h"
#include "FEN/Picture.h"

namespace CV {
namespace FEN {

namespace {

// What a skin picture's chunks may ask libpng to allocate: one chunk's data
// (a suggested palette, text, decompressed or not), and how many ancillary
// chunks libpng keeps. Rows and tables stay far below it.
constexpr png_alloc_size_t kChunkBytesLimit = png_alloc_size_t(8) << 20;
constexpr png_uint_32 kAncillaryChunkLimit = 128;

// Chunks whose data libpng inflates and the reader never uses: skipped
// unread, so that a few compressed bytes cannot grow into megabytes. Four
// letters and a zero byte each.
png_byte const kSkippedChunks[] = {'i', 'C', 'C', 'P', '\0', 'i', 'T', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0'};

// libpng's allocations. libpng only warns about a chunk that declares more
// than the chunk limit and then allocates what it declares (before reading
// it), so an allocation beyond the limit ends the read at once.
png_voidp PNGAllocateHelper(png_structp png, png_alloc_size_t size)
{
    if (size > kChunkBytesLimit)
        png_error(png, "allocation beyond the chunk limit");
    return std::malloc(size);
}

void PNGFreeHelper(png_structp, png_voidp memory)
{
    std::free(memory);
}

// libpng's read function: pulls bytes from the stream; a short read is an
// error, so a truncated file never leaves rows unwritten.
void PNGReadHelper(png_structp png, png_bytep data, png_size_t length)
{
    BAS::Stream* stream = static_cast<BAS::Stream*>(png_get_io_ptr(png));
    if (stream->readRaw(data, length) != length)
        png_error(png, "unexpected end of data");
}

void PNGWarningHelper(png_structp, png_const_charp) { }

struct PNGReadState {
    PNGReadState() = default;
    ~PNGReadState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PNGReadState(PNGReadState const&) = delete;
    PNGReadState& operator=(PNGReadState const&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
    int colourType = 0;
    bool hasTransparency = false;
    std::vector<png_bytep> rows;
    char failure[160] = {}; // libpng's error that ended the read; empty: none
};

// libpng's error function (its error pointer is the read state): keeps the
// text, then jumps back to the reader.
void PNGErrorHelper(png_structp png, png_const_charp message)
{
    PNGReadState* state = static_cast<PNGReadState*>(png_get_error_ptr(png));
    if (state && message)
        std::snprintf(state->failure, sizeof state->failure, "%s", message);
    png_longjmp(png, 1);
}

// Reads the signature; false when the data does not start with it.
bool readSignature(BAS::Stream& stream)
{
    png_byte signature[8];
    return stream.readRaw(signature, sizeof signature) == sizeof signature &&
        png_sig_cmp(signature, 0, sizeof signature) == 0;
}

// Asks libpng for B, G, R, A rows of 8-bit samples; false for colour types
// the reader does not know.
bool setTransformations(PNGReadState& s, int bitDepth)
{
    png_structp png = s.png;
    if (s.hasTransparency)
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_strip_16(png);
    switch (s.colourType) {
    case PNG_COLOR_TYPE_GRAY:
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_gray_to_rgb(png);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: png_set_gray_to_rgb(png); break;
    case PNG_COLOR_TYPE_RGB:
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_bgr(png);
        break;
    case PNG_COLOR_TYPE_PALETTE:
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_palette_to_rgb(png);
        png_set_bgr(png);
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA: png_set_bgr(png); break;
    default: return false;
    }
    png_set_interlace_handling(png);
    return true;
}

// Every step that may end in libpng's error handler. Holds no object with a
// destructor: all state lives in s.
bool decode(PNGReadState& s, Picture& picture)
{
    png_structp png = s.png;
    png_infop info = s.info;
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int interlace = 0;
    if (!png_get_IHDR(png, info, &width, &height, &bitDepth, &s.colourType, &interlace, nullptr, nullptr))
        return false;
    if (!picture.acceptDeclaredSize(width, height))
        return false;
    s.hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (!setTransformations(s, bitDepth))
        return false;
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        return false;
    if (!picture.setSize(int(width), int(height), true))
        return false;
    s.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        s.rows[y] = reinterpret_cast<png_bytep>(picture.pixelRow(int(y)));
    png_read_image(png, s.rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool decodeGuarded(PNGReadState& s, Picture& picture)
{
    if (setjmp(png_jmpbuf(s.png)))
        return false;
    return decode(s, picture);
}

bool anyPixelTranslucent(Picture const& picture)
{
    uint32_t const* pixels = picture.getPixels();
    size_t const count = size_t(picture.getWidth()) * size_t(picture.getHeight());
    for (size_t i = 0; i < count; ++i)
        if (pixels[i] < 0xFF000000u)
            return true;
    return false;
}

} // namespace

bool Picture::readPNG(BAS::Stream& stream, eOrientation, bool detectAlpha)
{
    m_refusedSize = tDeclaredSize{};
    m_readFailure.clear();
    if (!readSignature(stream))
        return false;
    PNGReadState state;
    state.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &state, &PNGErrorHelper, &PNGWarningHelper, nullptr,
                                         &PNGAllocateHelper, &PNGFreeHelper);
    if (!state.png)
        return false;
    state.info = png_create_info_struct(state.png);
    if (!state.info)
        return false;
    png_set_read_fn(state.png, &stream, &PNGReadHelper);
    png_set_sig_bytes(state.png, 8);
    // The picture's own limits decide the size (libpng's defaults would
    // refuse some sizes first, without saying why).
    png_set_user_limits(state.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(state.png, kChunkBytesLimit);
    png_set_chunk_cache_max(state.png, kAncillaryChunkLimit);
    png_set_keep_unknown_chunks(state.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, int(sizeof kSkippedChunks / 5u));
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // The fuzz build takes chunks and image data whatever their checksums
    // say, so that mutated files reach the decoding behind the first check.
    png_set_crc_action(state.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(state.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    if (!decodeGuarded(state, *this)) {
        if (!wasRefusedForSize())
            m_readFailure = state.failure[0] ? state.failure : "the reader does not decode this kind of PNG";
        return false;
    }
    // Grey and RGB files may carry transparency too (a tRNS chunk).
    bool const mayHaveAlpha = state.hasTransparency || (state.colourType & PNG_COLOR_MASK_ALPHA) != 0;
    setAlphaChannel(detectAlpha && mayHaveAlpha && anyPixelTranslucent(*this));
    return true;
}

} // namespace FEN
} // namespace CV
