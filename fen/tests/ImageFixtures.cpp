#include "ImageFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>
#include <lcms2.h>
#include <png.h>

namespace CV {
namespace FEN {
namespace test {

namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t length)
{
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) { }

size_t pngRowBytes(PNGImage const& image)
{
    static int const channels[] = {1, 0, 3, 1, 2, 0, 4};
    return (size_t(image.width) * channels[image.colourType] * image.bitDepth + 7) / 8;
}

} // namespace

Bytes writePNG(PNGImage const& image)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG fixture could not be written");
    }
    png_set_write_fn(png, &out, &appendToBytes, &flushNothing);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), image.bitDepth, image.colourType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < image.palette.size(); i += 3)
        palette.push_back(png_color{image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_color_16 colour{};
    colour.gray = image.transparentGrey;
    colour.red = image.transparentRGB[0];
    colour.green = image.transparentRGB[1];
    colour.blue = image.transparentRGB[2];
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
    else if (image.transparentColour)
        png_set_tRNS(png, info, nullptr, 0, &colour);
    png_write_info(png, info);
    size_t const rowBytes = pngRowBytes(image);
    std::vector<png_bytep> rows(size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(image.rows.data() + size_t(y) * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

void writeProfileMarkers(jpeg_compress_struct& cinfo, JPEGImage const& image)
{
    size_t const total = image.profile.size();
    size_t const count = size_t(image.profileMarkers);
    size_t const chunk = (total + count - 1) / count;
    for (size_t i = 0; i < count; ++i) {
        if (int(i + 1) == image.leaveOutMarker)
            continue;
        size_t const begin = std::min(total, i * chunk);
        size_t const end = std::min(total, begin + chunk);
        Bytes marker(14 + end - begin);
        std::memcpy(marker.data(), "ICC_PROFILE", 12); // with its zero byte
        marker[12] = uint8_t(i + 1);
        marker[13] = uint8_t(count);
        std::copy(image.profile.begin() + long(begin), image.profile.begin() + long(end), marker.begin() + 14);
        jpeg_write_marker(&cinfo, JPEG_APP0 + 2, marker.data(), unsigned(marker.size()));
    }
}

} // namespace

Bytes writeJPEG(JPEGImage const& image)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    switch (image.space) {
    case JPEGSpace::Grey:
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case JPEGSpace::RGB:
    case JPEGSpace::YCbCr:
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        break;
    case JPEGSpace::CMYK:
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        break;
    }
    jpeg_set_defaults(&cinfo);
    if (image.space == JPEGSpace::RGB)
        jpeg_set_colorspace(&cinfo, JCS_RGB);
    if (image.space == JPEGSpace::CMYK)
        cinfo.write_Adobe_marker = image.adobeMarker ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, image.quality, TRUE);
    if (!image.subsampled)
        for (int i = 0; i < cinfo.num_components; ++i)
            cinfo.comp_info[i].h_samp_factor = cinfo.comp_info[i].v_samp_factor = 1;
    if (image.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    if (image.app1Size > 0) {
        Bytes filler(size_t(image.app1Size), 0xA5);
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, filler.data(), unsigned(filler.size()));
    }
    if (!image.profile.empty())
        writeProfileMarkers(cinfo, image);
    size_t const rowBytes = size_t(image.width) * size_t(cinfo.input_components);
    for (int y = 0; y < image.height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(image.samples.data() + size_t(y) * rowBytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes smallGreyJPEG()
{
    JPEGImage image;
    image.width = 8;
    image.height = 8;
    image.space = JPEGSpace::Grey;
    image.samples = Bytes(64, 0x80);
    return writeJPEG(image);
}

namespace {

void appendMarker(Bytes& file, uint8_t marker, Bytes const& body)
{
    size_t const length = body.size() + 2;
    file.insert(file.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
    file.insert(file.end(), body.begin(), body.end());
}

} // namespace

Bytes progressiveJPEGOfEmptyScans(int width, int height, int scans)
{
    Bytes file = {0xFF, 0xD8};
    Bytes quantTable(65, 1);
    quantTable[0] = 0; // 8-bit table 0
    appendMarker(file, 0xDB, quantTable);
    appendMarker(file, 0xC2,
                 {8, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), 1, 1, 0x11, 0});
    // DC table 0: one code of one bit, for the difference category 0.
    Bytes dcTable(1 + 16 + 1, 0);
    dcTable[1] = 1;
    appendMarker(file, 0xC4, dcTable);
    // Component 1, tables 0, band 0..0, no successive approximation.
    Bytes const scan = {1, 1, 0x00, 0, 0, 0x00};
    for (int i = 0; i < scans; ++i)
        appendMarker(file, 0xDA, scan);
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

LibraryDecoding decodeWithLibrary(Bytes const& file)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    LibraryDecoding decoded;
    decoded.bgra.resize(size_t(cinfo.output_width) * cinfo.output_height * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = decoded.bgra.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 4;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    decoded.scans = cinfo.input_scan_number;
    jpeg_destroy_decompress(&cinfo);
    return decoded;
}

namespace {

Bytes saveProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

} // namespace

Bytes linearRGBProfile()
{
    cmsCIExyY const d65 = {0.3127, 0.3290, 1.0};
    cmsCIExyYTRIPLE const primaries = {{0.6400, 0.3300, 1.0}, {0.3000, 0.6000, 1.0}, {0.1500, 0.0600, 1.0}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
    cmsFreeToneCurve(linear);
    return saveProfile(profile);
}

Bytes greyProfile()
{
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsFreeToneCurve(gamma);
    return saveProfile(profile);
}

Bytes photoLikeRGB(int width, int height)
{
    Bytes samples(size_t(width) * size_t(height) * 3);
    uint32_t noise = 12345;
    uint8_t* p = samples.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            int const grain = int((noise >> 16) & 15) - 8;
            double const wave = 60.0 * std::sin(x * 0.02) * std::cos(y * 0.03);
            for (int c = 0; c < 3; ++c) {
                int const v = int(64 + c * 40 + wave + (x * 64 / width) + (y * 48 / height)) + grain;
                *p++ = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
    return samples;
}

} // namespace test
} // namespace FEN
} // namespace CV
