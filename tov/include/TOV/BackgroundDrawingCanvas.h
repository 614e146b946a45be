#pragma once
// A canvas that draws into a picture of its own, sized to the surface in
// device pixels. At a backing scale of 1 every operation is one picture
// operation; at other scales coordinates are rounded to device pixels and
// lines become anti-aliased strokes as wide as the scale.
#include <memory>

#include "FEN/Picture.h"
#include "TOV/Canvas.h"

namespace CV::TOV {

class BackgroundDrawingCanvas : public Canvas {
public:
    class BGDrawBuffer : public FEN::Picture { };

    BackgroundDrawingCanvas();
    ~BackgroundDrawingCanvas() override;

    void setAlphaChannel(bool alpha) override;
    void resetClip() override;
    void setClip(BAS::Rect const& rect) override;
    void resetOrigin() override;
    void setOrigin(BAS::Point const& origin) override;
    BAS::Point getOrigin() const override;
    void onSize(BAS::Point const& size) override;
    void clear(unsigned colour) override;
    void setPixel(BAS::Point const& position, unsigned colour) override;
    void drawLine(BAS::Point const& from, BAS::Point const& to, unsigned colour, bool flag) override;
    void drawLineV(BAS::Point const& from, int length, unsigned colour) override;
    void drawLineH(BAS::Point const& from, int length, unsigned colour) override;
    void drawLineAA(float x1, float y1, float x2, float y2, unsigned colour) override;
    void drawRect(BAS::Rect const& rect, unsigned colour) override;
    void fillRect(BAS::Rect const& rect, unsigned colour) override;
    void setAreaColor(BAS::Rect const& rect, unsigned colour) override;
    void invertArea(BAS::Rect const& rect) override;
    void drawPicture(BAS::Point const& position, LazyPicture const& picture, unsigned frame, BAS::Rect const* source,
                     PictureCombineMode mode) override;
    void drawPicture(BAS::Point const& position, FEN::Picture const& picture, unsigned frame, BAS::Rect const* source,
                     PictureCombineMode mode) override;
    void drawPictureStretched(BAS::Rect const& target, LazyPicture const& picture, unsigned frame,
                              BAS::Rect const* source, PictureCombineMode mode) override;
    void drawPictureStretched(BAS::Rect const& target, FEN::Picture const& picture, unsigned frame,
                              BAS::Rect const* source, PictureCombineMode mode) override;
    void dyeUsingStretchedAlphaMask(BAS::Rect const& target, unsigned colour, LazyPicture const& mask, unsigned frame,
                                    BAS::Rect const* source) override;
    void dyeUsingStretchedAlphaMask(BAS::Rect const& target, unsigned colour, FEN::Picture const& mask, unsigned frame,
                                    BAS::Rect const* source) override;
    void drawText(std::string const& text, BAS::Rect const& rect, FEN::Font const& font, unsigned colour,
                  eTextAlignment alignment, eTextRotation rotation) override;
    void setBackingScaleFactor(float scale) override;
    float getBackingScaleFactor() const override { return m_fScale; }
    FEN::Picture& getPicture() const override { return *m_pBuffer; }
    void* getRawData() const override { return m_pBuffer->getPixels(); }

private:
    int toDevice(float v) const;
    BAS::Point toDevice(BAS::Point const& p) const;
    BAS::Rect toDevice(BAS::Rect const& r) const;
    void resizeBuffer();
    void drawAALine(BAS::Point const& from, BAS::Point const& to, unsigned colour);
    void drawText90Degree(BAS::Rect const& rect, FEN::Font const& font, std::string const& text, unsigned colour,
                          eTextAlignment alignment);

    std::unique_ptr<BGDrawBuffer> m_pBuffer;
    BAS::Point m_ptOrigin{0, 0};
    bool m_bOwnsBuffer = true;
    BAS::Point m_ptSize{0, 0};
    FEN::Picture m_rotationScratch;
    float m_fScale = 1.0f;
};

} // namespace CV::TOV
