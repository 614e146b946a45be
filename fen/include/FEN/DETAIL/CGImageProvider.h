#pragma once
// A platform image over a picture's pixels, released with the provider.
// Straight-alpha pixels are used in place; premultiplied images are made
// from a premultiplied copy that the provider owns. Without a copy the
// picture must outlive the provider.
#include "platform/cg/CGContext.h"

#include <objc/runtime.h>

#include <cstdint>
#include <vector>

namespace CV {
namespace FEN {

class Picture;

namespace DETAIL {

class CGImageProvider {
public:
    CGImageProvider(Picture const& picture, bool premultiplied);
    ~CGImageProvider();
    CGImageProvider(CGImageProvider const&) = delete;
    CGImageProvider& operator=(CGImageProvider const&) = delete;

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    // Null for an empty picture.
    CGImageRef getImage() const { return m_image; }

private:
    int m_width;
    int m_height;
    std::vector<uint32_t> m_premultiplied;
    CGDataProviderRef m_provider = nullptr;
    CGImageRef m_image = nullptr;
};

// A new platform image (retain count one, owned by the caller) of the
// picture, one point per pixel; nil for an empty picture.
id createNSImageFromPicture(Picture const& picture, bool premultiplied);

// A straight-alpha B, G, R, A pixel premultiplied by its alpha.
uint32_t premultiplyPixel(uint32_t pixel);

} // namespace DETAIL
} // namespace FEN
} // namespace CV
