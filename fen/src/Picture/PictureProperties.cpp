#include "FEN/PictureProperties.h"

namespace CV {
namespace FEN {

void PictureProperties::setAlphaChannel(bool alpha)
{
    m_bAlphaChannel = alpha;
    propertiesChanged();
}

void PictureProperties::setHorizontalAnimation(bool horizontal)
{
    m_eOrientation = horizontal ? eSideBySide : eStacked;
    propertiesChanged();
}

void PictureProperties::setAnimationOrientation(eOrientation orientation)
{
    m_eOrientation = orientation;
    propertiesChanged();
}

void PictureProperties::setNumAnimations(unsigned count)
{
    m_uNumAnimations = count;
    propertiesChanged();
}

void PictureProperties::setResizableBit(uint32_t bit, bool on)
{
    m_uResizable = on ? (m_uResizable | bit) : (m_uResizable & ~bit);
    propertiesChanged();
}

void PictureProperties::setVertResizable(bool resizable) { setResizableBit(kVertResizable, resizable); }

void PictureProperties::setHorzResizable(bool resizable) { setResizableBit(kHorzResizable, resizable); }

void PictureProperties::setFixedTop(int pixels)
{
    m_iFixedTop = pixels;
    propertiesChanged();
}

void PictureProperties::setFixedBottom(int pixels)
{
    m_iFixedBottom = pixels;
    propertiesChanged();
}

void PictureProperties::setFixedLeft(int pixels)
{
    m_iFixedLeft = pixels;
    propertiesChanged();
}

void PictureProperties::setFixedRight(int pixels)
{
    m_iFixedRight = pixels;
    propertiesChanged();
}

void PictureProperties::propertiesChanged() {}

} // namespace FEN
} // namespace CV
