#pragma once
// The screen's pixels of an area, read back from the X server of the
// toolkit's default display (programs that use it link GTK 3).
//
//   CV::test::Screenshot shot(x, y, width, height); // screen points
//   EXPECT_EQ(shot.pixel(5, 5), 0xFF0000u);          // 0xRRGGBB
//   shot.save("window.png");
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>

#include <cstdint>
#include <string>

namespace CV {
namespace test {

class Screenshot {
public:
    Screenshot(int x, int y, int width, int height)
        : m_pixbuf(gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, width, height))
    {
    }
    ~Screenshot()
    {
        if (m_pixbuf)
            g_object_unref(m_pixbuf);
    }
    Screenshot(const Screenshot&) = delete;
    Screenshot& operator=(const Screenshot&) = delete;

    bool valid() const { return m_pixbuf != nullptr; }
    // Device pixels.
    int width() const { return gdk_pixbuf_get_width(m_pixbuf); }
    int height() const { return gdk_pixbuf_get_height(m_pixbuf); }
    // 0xRRGGBB at device pixel (x, y), top row 0.
    std::uint32_t pixel(int x, int y) const
    {
        const guchar* p = gdk_pixbuf_get_pixels(m_pixbuf) + y * gdk_pixbuf_get_rowstride(m_pixbuf) +
            x * gdk_pixbuf_get_n_channels(m_pixbuf);
        return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
    // As a PNG file; false when it could not be written.
    bool save(const std::string& path) const
    {
        return gdk_pixbuf_save(m_pixbuf, path.c_str(), "png", nullptr, nullptr);
    }

private:
    GdkPixbuf* m_pixbuf;
};

} // namespace test
} // namespace CV
