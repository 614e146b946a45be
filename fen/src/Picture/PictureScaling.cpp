#include <cmath>
#include <cstdint>

#include "FEN/Picture.h"
#include "FEN/PictureScaler.h"

namespace CV {
namespace FEN {

namespace {

// lroundf of the single-precision product: halves go away from zero.
// Products beyond int saturate; not-a-number gives 0.
int scaledBorder(int border, float scale)
{
    float const product = float(border) * scale;
    if (std::isnan(product))
        return 0;
    if (product >= 2147483648.0f)
        return INT32_MAX;
    if (product <= -2147483648.0f)
        return INT32_MIN;
    return int(std::lroundf(product));
}

// The scaled length of a side, or false when it is beyond any picture.
bool scaledSide(int length, float scale, int& scaled)
{
    float const product = float(length) * scale;
    if (!(product < float(Picture::kMaxSide) + 1.0f))
        return false;
    scaled = int(std::lroundf(product));
    return true;
}

// The properties with the borders scaled. The three set here go through a
// plain property record, so only the copy's final setFixedRight announces
// the change.
PictureProperties scaledProperties(PictureProperties const& original, float scale)
{
    PictureProperties properties = original;
    properties.setFixedTop(scaledBorder(original.getFixedTop(), scale));
    properties.setFixedBottom(scaledBorder(original.getFixedBottom(), scale));
    properties.setFixedLeft(scaledBorder(original.getFixedLeft(), scale));
    return properties;
}

} // namespace

std::unique_ptr<Picture> Picture::cloneAndScale(float scale, Sampling sampling, int32_t* status) const
{
    auto copy = std::make_unique<Picture>();
    static_cast<PictureProperties&>(*copy) = scaledProperties(*this, scale);
    copy->setFixedRight(scaledBorder(getFixedRight(), scale));

    int32_t result = kStsOk;
    int width = 0;
    int height = 0;
    bool const validScale = scale >= 0.0f && std::isfinite(scale);
    if (!validScale || !scaledSide(m_iWidth, scale, width) || !scaledSide(m_iHeight, scale, height)) {
        result = kStsSizeErr;
    } else if (uint64_t(width) * uint64_t(height) != 0) {
        if (!copy->setSize(width, height, true))
            result = kStsSizeErr;
        else if (sampling != eSmooth)
            result = PictureScaler().scaleNearest(*this, *copy);
        else
            PictureScaler::scaleSmooth(*this, *copy);
    }
    if (status)
        *status = result;
    return copy;
}

} // namespace FEN
} // namespace CV
