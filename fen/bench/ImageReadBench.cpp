// Decoding a 1920 x 1080 PNG and JPEG through the picture readers, side by
// side with the plain library calls that decode to the same B, G, R, A
// pixels (libpng's simplified API, TurboJPEG); then a progressive JPEG of
// the same picture, a small JPEG, and a JPEG of 8192 x 8192 pixels made of
// 6,000 empty scans, which the reader refuses.
#include <benchmark/benchmark.h>

#include <png.h>
#include <turbojpeg.h>

#include <vector>

#include "../tests/ImageFixtures.h"
#include "BAS/MemoryStream.h"
#include "FEN/Picture.h"

namespace {

using CV::FEN::Picture;
using CV::FEN::test::Bytes;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

Bytes const& pngFile()
{
    static Bytes const file = [] {
        CV::FEN::test::PNGImage image;
        image.width = kWidth;
        image.height = kHeight;
        image.colourType = 2;
        image.rows = CV::FEN::test::photoLikeRGB(kWidth, kHeight);
        return CV::FEN::test::writePNG(image);
    }();
    return file;
}

Bytes photoJPEG(int width, int height, bool progressive)
{
    CV::FEN::test::JPEGImage image;
    image.width = width;
    image.height = height;
    image.subsampled = true;
    image.quality = 90;
    image.progressive = progressive;
    image.samples = CV::FEN::test::photoLikeRGB(width, height);
    return CV::FEN::test::writeJPEG(image);
}

Bytes const& jpegFile()
{
    static Bytes const file = photoJPEG(kWidth, kHeight, false);
    return file;
}

constexpr int kSmallSide = 64;
constexpr int kManyScans = 6000;
constexpr int kManyScansSide = 8192;

void countPixels(benchmark::State& state)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

template <bool (Picture::*Read)(CV::BAS::Stream&, CV::FEN::PictureProperties::eOrientation, bool)>
void readerDecode(benchmark::State& state, Bytes const& file)
{
    Picture picture;
    for (auto _ : state) {
        CV::BAS::MemoryStream stream;
        stream.init(CV::BAS::IStorage::eAccessRead, const_cast<uint8_t*>(file.data()), file.size());
        if (!(picture.*Read)(stream, CV::FEN::PictureProperties::eStacked, true))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(picture.getPixels());
    }
}

void BM_PNG_Reader(benchmark::State& state)
{
    readerDecode<&Picture::readPNG>(state, pngFile());
    countPixels(state);
}

void BM_PNG_LibraryBGRA(benchmark::State& state)
{
    Bytes const& file = pngFile();
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
            state.SkipWithError("begin failed");
        image.format = PNG_FORMAT_BGRA;
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
            state.SkipWithError("finish failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    countPixels(state);
}

void BM_JPEG_Reader(benchmark::State& state)
{
    readerDecode<&Picture::readJPG>(state, jpegFile());
    countPixels(state);
}

void BM_JPEG_ReaderProgressive(benchmark::State& state)
{
    static Bytes const file = photoJPEG(kWidth, kHeight, true);
    readerDecode<&Picture::readJPG>(state, file);
    countPixels(state);
}

void BM_JPEG_ReaderSmall(benchmark::State& state)
{
    static Bytes const file = photoJPEG(kSmallSide, kSmallSide, false);
    readerDecode<&Picture::readJPG>(state, file);
}

// Refused for its count of scans (the counter "refused" is 1) before the
// decoder walks the first, each of which would cost a walk over the whole
// picture.
void BM_JPEG_ReaderManyEmptyScans(benchmark::State& state)
{
    static Bytes const file = CV::FEN::test::progressiveJPEGOfEmptyScans(kManyScansSide, kManyScansSide, kManyScans);
    Picture picture;
    bool read = false;
    for (auto _ : state) {
        CV::BAS::MemoryStream stream;
        stream.init(CV::BAS::IStorage::eAccessRead, const_cast<uint8_t*>(file.data()), file.size());
        read = picture.readJPG(stream, CV::FEN::PictureProperties::eStacked, true);
    }
    state.counters["refused"] = read ? 0 : 1;
}

void BM_JPEG_TurboJPEGBGRA(benchmark::State& state)
{
    Bytes const& file = jpegFile();
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
    tjhandle handle = tjInitDecompress();
    for (auto _ : state) {
        if (tjDecompress2(handle, file.data(), static_cast<unsigned long>(file.size()), pixels.data(), kWidth, 0,
                          kHeight, TJPF_BGRA, 0) != 0)
            state.SkipWithError("decompress failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    tjDestroy(handle);
    countPixels(state);
}

BENCHMARK(BM_PNG_Reader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNG_LibraryBGRA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEG_Reader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEG_TurboJPEGBGRA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEG_ReaderProgressive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEG_ReaderSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEG_ReaderManyEmptyScans)->Unit(benchmark::kMillisecond);

} // namespace
