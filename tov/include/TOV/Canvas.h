#pragma once
// An abstract drawing target in the toolkit's logical coordinates, with an
// origin, a clip and a backing scale factor (device pixels per logical
// unit). Colours are 0xAARRGGBB with straight alpha.
#include <string>

#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "TOV/Forward.h"
#include "TOV/WidgetAlignment.h"

namespace CV::FEN {
class Font;
class Picture;
} // namespace CV::FEN

namespace CV::TOV {

class LazyPicture;

// 0 copies picture pixels, anything else blends them by their alpha.
enum PictureCombineMode : int { ePictureCopy = 0, ePictureBlend = 1 };

// 0 horizontal; any other value turns the text to read from bottom to top.
enum eTextRotation : int { eTextHorizontal = 0, eTextRotated90 = 1 };

class Canvas {
public:
    virtual ~Canvas();

    virtual void setAlphaChannel(bool alpha) = 0;
    virtual void resetClip() = 0;
    // A rectangle relative to the current origin.
    virtual void setClip(BAS::Rect const& rect) = 0;
    virtual void resetOrigin() = 0;
    virtual void setOrigin(BAS::Point const& origin) = 0;
    virtual BAS::Point getOrigin() const = 0;
    // The logical size of the surface changed.
    virtual void onSize(BAS::Point const& size) = 0;
    virtual void clear(unsigned colour) = 0;
    virtual void setPixel(BAS::Point const& position, unsigned colour) = 0;
    virtual void drawLine(BAS::Point const& from, BAS::Point const& to, unsigned colour, bool flag) = 0;
    virtual void drawLineV(BAS::Point const& from, int length, unsigned colour) = 0;
    virtual void drawLineH(BAS::Point const& from, int length, unsigned colour) = 0;
    virtual void drawLineAA(float x1, float y1, float x2, float y2, unsigned colour) = 0;
    virtual void drawRect(BAS::Rect const& rect, unsigned colour) = 0;
    virtual void fillRect(BAS::Rect const& rect, unsigned colour) = 0;
    virtual void setAreaColor(BAS::Rect const& rect, unsigned colour) = 0;
    virtual void invertArea(BAS::Rect const& rect) = 0;
    // `source` is a part of the frame (null: the whole frame). A lazy
    // picture is resolved at the backing scale; nothing is drawn without one.
    virtual void drawPicture(BAS::Point const& position, LazyPicture const& picture, unsigned frame,
                             BAS::Rect const* source, PictureCombineMode mode) = 0;
    virtual void drawPicture(BAS::Point const& position, FEN::Picture const& picture, unsigned frame,
                             BAS::Rect const* source, PictureCombineMode mode) = 0;
    // Nine-patch stretching by the picture's fixed borders.
    virtual void drawPictureStretched(BAS::Rect const& target, LazyPicture const& picture, unsigned frame,
                                      BAS::Rect const* source, PictureCombineMode mode) = 0;
    virtual void drawPictureStretched(BAS::Rect const& target, FEN::Picture const& picture, unsigned frame,
                                      BAS::Rect const* source, PictureCombineMode mode) = 0;
    // Paints the colour weighted by the alpha of the stretched picture.
    virtual void dyeUsingStretchedAlphaMask(BAS::Rect const& target, unsigned colour, LazyPicture const& mask,
                                            unsigned frame, BAS::Rect const* source) = 0;
    virtual void dyeUsingStretchedAlphaMask(BAS::Rect const& target, unsigned colour, FEN::Picture const& mask,
                                            unsigned frame, BAS::Rect const* source) = 0;
    virtual void drawText(std::string const& text, BAS::Rect const& rect, FEN::Font const& font, unsigned colour,
                          eTextAlignment alignment, eTextRotation rotation) = 0;
    virtual void setBackingScaleFactor(float scale) = 0;
    virtual float getBackingScaleFactor() const = 0;
    virtual FEN::Picture& getPicture() const = 0;
    virtual void* getRawData() const = 0;
};

} // namespace CV::TOV
