#include "RgbImage.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>

#include "VarantoTest/Screenshot.h"

namespace CV::TOV::TEST {

namespace {

std::string hexColour(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", unsigned(rgb & 0xFFFFFF));
    return text;
}

} // namespace

RgbImage RgbImage::fromFramebuffer(std::vector<std::uint32_t> const& words, int width, int height)
{
    RgbImage image;
    image.m_width = width;
    image.m_height = height;
    image.m_pixels.reserve(words.size());
    for (std::uint32_t word : words)
        image.m_pixels.push_back(word & 0xFFFFFF);
    return image;
}

RgbImage RgbImage::fromScreenshot(CV::test::Screenshot const& shot)
{
    RgbImage image;
    if (!shot.valid())
        return image;
    image.m_width = shot.width();
    image.m_height = shot.height();
    image.m_pixels.reserve(std::size_t(image.m_width) * std::size_t(image.m_height));
    for (int y = 0; y < image.m_height; ++y)
        for (int x = 0; x < image.m_width; ++x)
            image.m_pixels.push_back(shot.pixel(x, y));
    return image;
}

bool RgbImage::save(std::string const& path) const
{
    if (empty())
        return false;
    std::vector<guchar> bytes;
    bytes.reserve(m_pixels.size() * 3);
    for (std::uint32_t rgb : m_pixels) {
        bytes.push_back(guchar(rgb >> 16));
        bytes.push_back(guchar(rgb >> 8));
        bytes.push_back(guchar(rgb));
    }
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_data(bytes.data(), GDK_COLORSPACE_RGB, FALSE, 8, m_width, m_height,
                                                 m_width * 3, nullptr, nullptr);
    bool const saved = pixbuf && gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr);
    if (pixbuf)
        g_object_unref(pixbuf);
    return saved;
}

::testing::AssertionResult samePixels(RgbImage const& actual, RgbImage const& expected)
{
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure() << "the sizes differ: " << actual.width() << "x" << actual.height()
                                             << " against " << expected.width() << "x" << expected.height();
    int differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y) && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " of " << actual.width() * actual.height()
                                         << " pixels differ; the first at (" << firstX << ", " << firstY
                                         << "): " << hexColour(actual.pixel(firstX, firstY)) << " against "
                                         << hexColour(expected.pixel(firstX, firstY));
}

} // namespace CV::TOV::TEST
