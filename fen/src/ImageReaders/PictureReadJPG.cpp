// JPEG files into pictures: libjpeg decodes, Little CMS applies an embedded
// colour profile (RGB and CMYK files), plain conversions do the rest.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>
#include <lcms2.h>

#include "BAS/Stream.h"
#include "FEN/JPGErrorManager.h"
#include "FEN/JPGICCProfile.h"
#include "FEN/JPGScanCounter.h"
#include "FEN/JPGScanLimit.h"
#include "FEN/JPGSourceManager.h"
#include "FEN/Picture.h"

namespace CV {
namespace FEN {

namespace {

// libjpeg's working memory, most of it the coefficients of every block that
// a progressive file keeps until its last scan: no more than the largest
// picture the reader makes (a progressive 4:2:0 file of that size needs
// 3 bytes a pixel). Beyond it the read fails, as libjpeg here has no
// backing store.
constexpr long kLibraryMemoryLimit = long(Picture::kMaxReadPixels * 4);

enum class RowConversion {
    None, // libjpeg writes B, G, R, A rows straight into the picture
    Profile, // the embedded profile's transform to sRGB
    CMYK, // plain ink amounts
    InvertedCMYK, // as written by files with the Adobe marker
};

struct JPGReadState {
    explicit JPGReadState(BAS::Stream& stream)
        : source(stream)
    {
        std::memset(&cinfo, 0, sizeof cinfo);
    }
    ~JPGReadState()
    {
        jpeg_destroy_decompress(&cinfo);
        if (transform)
            cmsDeleteTransform(transform);
        if (sRGB)
            cmsCloseProfile(sRGB);
        if (profile)
            cmsCloseProfile(profile);
    }
    JPGReadState(JPGReadState const&) = delete;
    JPGReadState& operator=(JPGReadState const&) = delete;

    jpeg_decompress_struct cinfo;
    JPGErrorManager error;
    JPGSourceManager<512> source;
    JPGScanLimit scanLimit;
    char const* problem = nullptr; // why the reader itself gave up
    RowConversion conversion = RowConversion::None;
    cmsUInt32Number inputFormat = 0;
    cmsColorSpaceSignature inputSpace = cmsSigRgbData;
    bool lookForProfile = false;
    JPGICCProfile profileMarkers;
    std::vector<uint8_t> profileBytes;
    cmsHPROFILE profile = nullptr;
    cmsHPROFILE sRGB = nullptr;
    cmsHTRANSFORM transform = nullptr;
    std::vector<JSAMPLE> row;
    std::vector<JSAMPROW> rowPointers;
};

inline uint8_t scaled(unsigned a, unsigned b)
{
    return uint8_t((a * b + 127) / 255);
}

void convertCMYKRow(JSAMPLE const* cmyk, uint32_t* pixels, unsigned width, bool inverted)
{
    for (unsigned x = 0; x < width; ++x, cmyk += 4) {
        // Inverted files store 255 - ink; plain ones the ink itself.
        unsigned const c = inverted ? cmyk[0] : 255u - cmyk[0];
        unsigned const m = inverted ? cmyk[1] : 255u - cmyk[1];
        unsigned const y = inverted ? cmyk[2] : 255u - cmyk[2];
        unsigned const k = inverted ? cmyk[3] : 255u - cmyk[3];
        pixels[x] = 0xFF000000u | uint32_t(scaled(c, k)) << 16 | uint32_t(scaled(m, k)) << 8 | scaled(y, k);
    }
}

// Output colour space, Little CMS input format and row conversion by the
// file's colour space; false for colour spaces the reader does not know.
bool chooseColourHandling(JPGReadState& s)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    cmsUInt32Number const channels = CHANNELS_SH(cinfo.num_components) | BYTES_SH(1);
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE: cinfo.out_color_space = JCS_EXT_BGRA; return true;
    case JCS_YCbCr: cinfo.out_color_space = JCS_EXT_BGRA; return true;
    case JCS_RGB:
        cinfo.out_color_space = JCS_EXT_BGRA;
        s.inputFormat = COLORSPACE_SH(PT_RGB) | channels;
        s.inputSpace = cmsSigRgbData;
        s.lookForProfile = true;
        return true;
    case JCS_CMYK:
    case JCS_YCCK: {
        bool const inverted = cinfo.saw_Adobe_marker;
        cinfo.out_color_space = JCS_CMYK;
        s.inputFormat = COLORSPACE_SH(PT_CMYK) | channels | (inverted ? FLAVOR_SH(1) : 0);
        s.inputSpace = cmsSigCmykData;
        s.conversion = inverted ? RowConversion::InvertedCMYK : RowConversion::CMYK;
        s.lookForProfile = true;
        return true;
    }
    default: return false;
    }
}

// Opens the embedded profile and builds its transform to sRGB. A file
// without a complete profile needs none; a broken, mismatching or too large
// one fails.
bool prepareProfileTransform(JPGReadState& s)
{
    if (s.profileMarkers.isTooLarge())
        return false;
    s.profileBytes = s.profileMarkers.join();
    if (s.profileBytes.empty())
        return true;
    s.profile = cmsOpenProfileFromMem(s.profileBytes.data(), cmsUInt32Number(s.profileBytes.size()));
    if (!s.profile || cmsGetColorSpace(s.profile) != s.inputSpace)
        return false;
    s.sRGB = cmsCreate_sRGBProfile();
    if (!s.sRGB)
        return false;
    s.transform = cmsCreateTransform(s.profile, s.inputFormat, s.sRGB, TYPE_BGRA_8, INTENT_PERCEPTUAL, 0);
    if (!s.transform)
        return false;
    // The transform reads the file's own samples, not libjpeg's B, G, R, A.
    if (s.cinfo.out_color_space == JCS_EXT_BGRA)
        s.cinfo.out_color_space = JCS_RGB;
    s.conversion = RowConversion::Profile;
    return true;
}

// Rows that need no conversion go straight into the picture, as many at a
// time as libjpeg hands out (one at a time costs it an extra copy).
bool readRowsDirect(JPGReadState& s, Picture& picture)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    s.rowPointers.resize(cinfo.output_height);
    for (unsigned y = 0; y < cinfo.output_height; ++y)
        s.rowPointers[y] = reinterpret_cast<JSAMPROW>(picture.pixelRow(int(y)));
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION const first = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, s.rowPointers.data() + first, cinfo.output_height - first) == 0)
            return false;
    }
    return true;
}

bool readRows(JPGReadState& s, Picture& picture)
{
    if (s.conversion == RowConversion::None)
        return readRowsDirect(s, picture);
    jpeg_decompress_struct& cinfo = s.cinfo;
    unsigned const width = cinfo.output_width;
    s.row.resize(size_t(cinfo.output_components) * width);
    std::memset(picture.getPixels(), 0xFF, size_t(width) * cinfo.output_height * 4);
    for (unsigned y = 0; y < cinfo.output_height; ++y) {
        uint32_t* pixels = picture.pixelRow(int(y));
        JSAMPROW target = s.row.data();
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
            return false;
        switch (s.conversion) {
        case RowConversion::None: break;
        case RowConversion::Profile: cmsDoTransform(s.transform, s.row.data(), pixels, width); break;
        case RowConversion::CMYK:
        case RowConversion::InvertedCMYK:
            convertCMYKRow(s.row.data(), pixels, width, s.conversion == RowConversion::InvertedCMYK);
            break;
        }
    }
    return true;
}

char const* const kEndsEarly = "the data ends before the picture is complete";
char const* const kNotReadAgain = "its data cannot be read a second time";

// The scans a progressive file has from the one the decoder is at, counted
// ahead without decoding, up to one past the limit. Returns false when the
// source's storage was not left where the decoder reads on; a stream that
// cannot be counted is left to the progress monitor.
bool countScansAhead(JPGReadState& s, int& scans)
{
    JPGScanCounter::Ahead const ahead =
        JPGScanCounter::countRest(*s.cinfo.src, *s.source.stream, s.cinfo.input_scan_number, s.scanLimit.maxScans);
    scans = ahead.outcome == JPGScanCounter::Outcome::Counted ? ahead.scans : 0;
    return ahead.outcome != JPGScanCounter::Outcome::StreamLost;
}

bool fail(JPGReadState& s, char const* problem)
{
    s.problem = problem;
    return false;
}

// Every step that may end in libjpeg's error handler. Holds no object with
// a destructor: all state lives in s.
bool decode(JPGReadState& s, Picture& picture)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    s.error.install(&cinfo);
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
    s.source.install(&cinfo);
    s.profileMarkers.install(&cinfo);
    s.scanLimit.install(&cinfo);
    // Data that ends before a start marker could be read is no JPEG's.
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return fail(s, s.source.bytesRead >= 2 ? kEndsEarly : nullptr);
    if (!picture.acceptDeclaredSize(cinfo.image_width, cinfo.image_height))
        return false;
    // Refused before the decoder walks the first scan or its pixels are made.
    if (cinfo.progressive_mode) {
        int scans = 0;
        if (!countScansAhead(s, scans))
            return fail(s, kNotReadAgain);
        if (scans > s.scanLimit.maxScans)
            JPGScanLimit::refuse(reinterpret_cast<j_common_ptr>(&cinfo), s.scanLimit.maxScans);
    }
    if (!chooseColourHandling(s))
        return fail(s, "its colour space is not grey, RGB, YCbCr, CMYK or YCCK");
    if (s.lookForProfile && !prepareProfileTransform(s))
        return fail(s, "its embedded colour profile cannot be used");
    jpeg_calc_output_dimensions(&cinfo);
    // Sized before decoding starts, so oversized files fail early.
    if (!picture.setSize(int(cinfo.output_width), int(cinfo.output_height), true))
        return fail(s, "no memory for its pixels");
    if (!jpeg_start_decompress(&cinfo))
        return fail(s, kEndsEarly);
    int const expected = cinfo.out_color_space == JCS_EXT_BGRA ? 4 : cinfo.num_components;
    if (cinfo.output_components != expected)
        return fail(s, "the decoder's samples do not match its colour space");
    if (!readRows(s, picture))
        return fail(s, kEndsEarly);
    // A missing end marker after complete rows leaves the picture whole.
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool decodeGuarded(JPGReadState& s, Picture& picture)
{
    if (setjmp(s.error.jumpBuffer))
        return false;
    return decode(s, picture);
}

// The library's error that ended the read, else the reader's own reason; a
// file without a JPEG's start marker is none of the reader's business.
std::string failureOf(JPGReadState const& s)
{
    if (s.error.failureCode() == JERR_NO_SOI)
        return std::string();
    if (s.error.failure[0])
        return s.error.failure;
    return s.problem ? s.problem : "";
}

} // namespace

bool Picture::readJPG(BAS::Stream& stream, eOrientation, bool detectAlpha)
{
    m_refusedSize = tDeclaredSize{};
    JPGReadState state(stream);
    bool const decoded = decodeGuarded(state, *this);
    m_readWarnings = std::move(state.error.warnings);
    m_readFailure = decoded ? std::string() : failureOf(state);
    if (!decoded)
        return false;
    if (detectAlpha)
        setAlphaChannel(false);
    return true;
}

} // namespace FEN
} // namespace CV
