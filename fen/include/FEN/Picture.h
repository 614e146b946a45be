#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "FEN/PictureProperties.h"

namespace CV {
namespace FEN {

// A raster image of 32-bit pixels 0xAARRGGBB (bytes B, G, R, A in memory,
// straight alpha), rows of exactly width pixels, row 0 at the top.
//
// Drawing coordinates are relative to the origin; the clipping operations
// respect the clip rectangle when clipping is on. The unclipped operations
// (suffix UC) write where they are told, but never outside the pixels.
class Picture : public PictureProperties {
public:
    // Largest picture: this many pixels a side and this many bytes in all.
    static constexpr int kMaxSide = 32768;
    static constexpr uint64_t kMaxBytes = uint64_t(256) << 20;
    // Largest picture the image readers decode: a file whose header declares
    // more pixels a side or in all is refused before anything is decoded.
    static constexpr uint32_t kMaxReadSide = 16384;
    static constexpr uint64_t kMaxReadPixels = uint64_t(64) << 20;

    // Resampling of cloneAndScale: any value but eSmooth samples the
    // nearest source pixel.
    enum Sampling : int {
        eSmooth = 0,
        eNearest = 1,
    };

    Picture() = default;
    Picture(Picture const&) = delete;
    Picture& operator=(Picture const&) = delete;
    ~Picture() override;

    // Ensures a buffer for width x height pixels; contents are not kept.
    // Refuses negative or oversized pictures (false, nothing changed).
    virtual bool reallocData(int width, int height, bool force);
    // reallocData, then the size set, origin (0,0) and clipping off.
    bool setSize(int width, int height, bool force = false);

    int getWidth() const { return m_iWidth; }
    int getHeight() const { return m_iHeight; }
    uint32_t* getPixels() { return m_pPixels; }
    uint32_t const* getPixels() const { return m_pPixels; }
    uint32_t getCapacity() const { return m_uCapacity; }
    int getAnimationWidth() const;
    int getAnimationHeight() const;

    // Clip and origin.
    void setClipRect(BAS::Rect const& rect);
    void resetClipRect();
    void setOrigin(BAS::Point const& origin);
    BAS::Point const& getOrigin() const { return m_origin; }
    BAS::Rect const& getClipRect() const { return m_clip; }
    bool isClipping() const { return m_bClipping; }
    // Clips a rectangle (either axis may be reversed) against the clip
    // rectangle; *dx, *dy receive the (non-positive) moves of its start.
    bool checkClipRect(BAS::Rect& rect, int* dx, int* dy) const;
    // The picture's pixels in drawing coordinates, limited to non-negative
    // coordinates.
    BAS::Rect getDrawableArea() const;
    // All of the picture's pixels in drawing coordinates.
    BAS::Rect getPixelArea() const;

    void setUseLegacyAlphaCompositing(bool legacy) { m_bLegacyAlpha = legacy; }
    bool getUseLegacyAlphaCompositing() const { return m_bLegacyAlpha; }

    // One 9-bit mask per animation frame: bit (row * 3 + column) of the
    // nine-patch grid is set when that area holds no visible pixel.
    void initEmptyAreaFlags();
    std::vector<uint32_t> const& getEmptyAreaFlags() const { return m_emptyAreaFlags; }

    // Image files. Each decodes the stream into the picture (sized to the
    // image, origin (0,0), clipping off) and returns true on success; a
    // picture whose read failed may be resized and partly written. With
    // detectAlpha the alpha-channel property tells whether any decoded pixel
    // is not opaque. The orientation is not used. A file that declares a
    // size beyond the read limits is refused (false) before decoding, and
    // getRefusedSize() tells the size it declared.
    // PNG, then JPEG, then TGA, each from the stream's starting position.
    bool readDetect(BAS::Stream& stream, eOrientation orientation, bool detectAlpha);
    bool readPNG(BAS::Stream& stream, eOrientation orientation, bool detectAlpha);
    // Colour-managed to sRGB through an embedded profile.
    bool readJPG(BAS::Stream& stream, eOrientation orientation, bool detectAlpha);
    bool readTGA(BAS::Stream& stream, eOrientation orientation, bool detectAlpha);
    // The width and height the last file read declared when its reader
    // refused it for its size; 0 x 0 after any other read.
    struct tDeclaredSize {
        uint32_t width = 0;
        uint32_t height = 0;
    };
    tDeclaredSize const& getRefusedSize() const { return m_refusedSize; }
    bool wasRefusedForSize() const { return m_refusedSize.width != 0; }
    // What the reader of the last file warned about, one text each (the JPEG
    // library's "Corrupt JPEG data: ..."), whether or not the read succeeded;
    // empty after a read without warnings. The caller says them where it
    // says its own messages, naming the file.
    std::vector<std::string> const& getReadWarnings() const { return m_readWarnings; }
    // Why the last read of a file of the reader's own format failed, in the
    // words of its library where it has some (libjpeg: "Bogus marker
    // length"); empty after a success, a refusal for size, or a file of none
    // of the formats tried. The caller says it naming the file.
    std::string const& getReadFailure() const { return m_readFailure; }
    // For the readers: whether the size a header declares is within the read
    // limits; when it is not, it is kept for getRefusedSize().
    bool acceptDeclaredSize(uint64_t width, uint64_t height);

    // Drawing. Opaque colours are stored, invisible ones draw nothing,
    // translucent ones are composited over the pixels.
    void setPixelUC(int x, int y, unsigned colour);
    void clear(unsigned colour);
    // Negative lengths and sizes in the clipping forms cover the span that
    // ends before the start point (leftwards, upwards).
    void drawLineH(int x, int y, int len, unsigned colour);
    void drawLineHUC(int x, int y, int len, unsigned colour);
    void drawLineV(int x, int y, int len, unsigned colour);
    void drawLineVUC(int x, int y, int len, unsigned colour);
    // End point excluded.
    void drawLine(int x1, int y1, int x2, int y2, unsigned colour);
    void drawLineUC(int x1, int y1, int x2, int y2, unsigned colour);
    void drawLineAA(float x1, float y1, float x2, float y2, unsigned colour);
    void drawRectangle(int x, int y, int w, int h, unsigned colour);
    void fillArea(int x, int y, int w, int h, unsigned colour);
    void fillAreaUC(int x, int y, int w, int h, unsigned colour);
    void invertArea(int x, int y, int w, int h);
    // Stores the colour into every pixel of the rectangle; no clip, no blend.
    void setAreaColor(BAS::Rect const& rect, unsigned colour);

    // A copy scaled by scale (sizes and the four fixed borders rounded half
    // away from zero), with the other properties copied; no empty-area masks,
    // no clipping, origin (0, 0). A size that rounds to 0 gives a copy
    // without pixels. status (when given) receives 0, or kernel status -6
    // when the scale is not a number >= 0 or the scaled size is too large
    // for a picture (then the copy has no pixels), or the status of a
    // failing resize kernel (then the copy's pixels are cleared to 0).
    std::unique_ptr<Picture> cloneAndScale(float scale, Sampling sampling, int32_t* status = nullptr) const;

    // Compositing (functors in PictureCombinerFunctors).
    template <class F>
    void putPicture(int x, int y, Picture const& source, unsigned frame, BAS::Rect const* sourceRect);
    // Draws the frame into dest as a nine-patch; clip (target coordinates)
    // further limits the drawing when given.
    template <class F>
    void putStretched(BAS::Rect const& dest, Picture const& source, unsigned frame, BAS::Rect const* clip);
    // Copies (or, from a source with alpha, composites) w x h pixels from
    // (sx, sy) of the source to (x, y); no clipping.
    void copyAreaUC(int x, int y, int w, int h, Picture const& source, int sx, int sy);

    // The first pixel of a row of the buffer (origin not applied); the
    // caller keeps the row inside the picture.
    uint32_t* pixelRow(int row) { return m_pPixels + size_t(row) * size_t(m_iWidth); }
    uint32_t const* pixelRow(int row) const { return m_pPixels + size_t(row) * size_t(m_iWidth); }

private:
    void freeData();
    uint32_t* pixelAt(int64_t column, int64_t row) { return m_pPixels + row * m_iWidth + column; }

    uint8_t* m_pBuffer = nullptr;
    uint32_t* m_pPixels = nullptr;
    int32_t m_iWidth = 0;
    int32_t m_iHeight = 0;
    uint32_t m_uCapacity = 0;
    bool m_bLegacyAlpha = false;
    bool m_bClipping = false;
    BAS::Rect m_clip{0, 0, 0, 0};
    BAS::Point m_origin{0, 0};
    std::vector<uint32_t> m_emptyAreaFlags;
    tDeclaredSize m_refusedSize;
    std::vector<std::string> m_readWarnings;
    std::string m_readFailure;
};

namespace PictureSCALAR {
// Translucent fill of w x h pixels from a pixel address with a row stride in
// pixels; invisible colours draw nothing.
void fillAreaTransparent(uint32_t* first, unsigned colour, int w, int h, int stride, bool legacy);
} // namespace PictureSCALAR

namespace PICTURE_DETAIL {
// The Bresenham walk of drawLineUC from (x1, y1), writing only the pixels
// inside bounds and stopping once it has left them for good.
void drawLineBresenham(Picture& picture, int x1, int y1, int x2, int y2, unsigned colour, BAS::Rect const& bounds);
} // namespace PICTURE_DETAIL

} // namespace FEN
} // namespace CV
