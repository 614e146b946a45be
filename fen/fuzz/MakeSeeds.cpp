// Writes the seed files of the reader fuzz targets: small PNG, JPEG and TGA
// files of every kind the readers handle; with a second folder, also the
// inputs made here that once failed (the JPEG reader's replay inputs).
// Usage: MakeSeeds <corpus folder> [<regressions folder>]
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/ImageFixtures.h"

namespace {

using namespace CV::FEN::test;

void save(std::string const& path, Bytes const& bytes)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

Bytes rows(int w, int h, int bytesPerPixel)
{
    Bytes out(size_t(w) * size_t(h) * size_t(bytesPerPixel));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint8_t(i * 37 + 11);
    return out;
}

PNGImage png(int colourType, int bitDepth, bool interlaced)
{
    static int const channels[] = {1, 0, 3, 1, 2, 0, 4};
    PNGImage image;
    image.width = 5;
    image.height = 4;
    image.colourType = colourType;
    image.bitDepth = bitDepth;
    image.interlaced = interlaced;
    image.rows = rows(1, 4, int((5 * channels[colourType] * bitDepth + 7) / 8));
    if (colourType == 3) {
        image.palette = rows(16, 1, 3);
        image.paletteAlpha = {255, 0, 128};
    }
    return image;
}

JPEGImage jpeg(JPEGSpace space, int components)
{
    JPEGImage image;
    image.width = 9;
    image.height = 7;
    image.space = space;
    image.quality = 75;
    image.samples = rows(9, 7, components);
    return image;
}

Bytes tga(uint8_t type, uint8_t depth, uint8_t descriptor, Bytes data)
{
    Bytes file = {2, 1, type, 0, 0, 1, 0, 24, 0, 0, 0, 0, 2, 0, 2, 0, depth, descriptor, 'i', 'd', 1, 2, 3};
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <corpus folder> [<regressions folder>]\n", argv[0]);
        return 2;
    }
    std::string const dir = argv[1];
    save(dir + "/png/grey2.png", writePNG(png(0, 2, false)));
    save(dir + "/png/grey16.png", writePNG(png(0, 16, false)));
    save(dir + "/png/greyalpha.png", writePNG(png(4, 8, false)));
    save(dir + "/png/rgb-interlaced.png", writePNG(png(2, 8, true)));
    save(dir + "/png/rgba16.png", writePNG(png(6, 16, false)));
    save(dir + "/png/palette4.png", writePNG(png(3, 4, false)));
    PNGImage grey = png(0, 8, false);
    grey.transparentColour = true;
    grey.transparentGrey = 11;
    save(dir + "/png/grey-trns.png", writePNG(grey));

    save(dir + "/jpg/ycbcr.jpg", writeJPEG(jpeg(JPEGSpace::YCbCr, 3)));
    save(dir + "/jpg/grey.jpg", writeJPEG(jpeg(JPEGSpace::Grey, 1)));
    JPEGImage cmyk = jpeg(JPEGSpace::CMYK, 4);
    save(dir + "/jpg/cmyk.jpg", writeJPEG(cmyk));
    cmyk.adobeMarker = true;
    save(dir + "/jpg/cmyk-adobe.jpg", writeJPEG(cmyk));
    JPEGImage profiled = jpeg(JPEGSpace::RGB, 3);
    profiled.profile = linearRGBProfile();
    profiled.profileMarkers = 3;
    save(dir + "/jpg/rgb-profile.jpg", writeJPEG(profiled));
    JPEGImage subsampled = jpeg(JPEGSpace::YCbCr, 3);
    subsampled.subsampled = true;
    subsampled.app1Size = 600;
    save(dir + "/jpg/ycbcr-420-app1.jpg", writeJPEG(subsampled));

    save(dir + "/tga/plain32.tga", tga(2, 32, 0x20, rows(2, 2, 4)));
    save(dir + "/tga/plain24-bottomup.tga", tga(2, 24, 0x00, rows(2, 2, 3)));
    save(dir + "/tga/plain16.tga", tga(2, 16, 0x20, {0xFF, 0x7F, 0, 0, 0x1F, 0x80, 0xE0, 0x03}));
    save(dir + "/tga/rle32.tga", tga(10, 32, 0x20, {0x81, 1, 2, 3, 4, 0x01, 5, 6, 7, 8, 9, 10, 11, 12}));
    save(dir + "/tga/rle24.tga", tga(10, 24, 0x00, {0x00, 1, 2, 3, 0x82, 4, 5, 6}));
    save(dir + "/tga/rle16.tga", tga(10, 16, 0x20, {0x83, 0x1F, 0x7C}));

    if (argc == 3) {
        // 60 KB that once took half a minute and 400 MB to read.
        std::string const regressions = argv[2];
        save(regressions + "/jpg/progressive-8192-6000-empty-scans.jpg", progressiveJPEGOfEmptyScans(8192, 8192, 6000));
    }
    return 0;
}
