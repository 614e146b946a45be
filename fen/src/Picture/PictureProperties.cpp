#include "FEN/PictureProperties.h"

#include "BAS/Stream.h"

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

void PictureProperties::setVertResizable(bool resizable)
{
    setResizableBit(kVertResizable, resizable);
}

void PictureProperties::setHorzResizable(bool resizable)
{
    setResizableBit(kHorzResizable, resizable);
}

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

bool PictureProperties::read(BAS::Stream& stream)
{
    stream.readU32(); // version
    m_bAlphaChannel = stream.readBoolean();
    m_eOrientation = eOrientation(stream.readU32());
    m_uNumAnimations = stream.readU32();
    m_uResizable = stream.readU32();
    m_iFixedTop = stream.readS32();
    m_iFixedBottom = stream.readS32();
    m_iFixedLeft = stream.readS32();
    m_iFixedRight = stream.readS32();
    propertiesChanged();
    return true;
}

bool PictureProperties::write(BAS::Stream& stream)
{
    stream.writeU32(kRecordVersion);
    stream.writeBoolean(m_bAlphaChannel);
    stream.writeU32(m_eOrientation);
    stream.writeU32(m_uNumAnimations);
    stream.writeU32(m_uResizable);
    stream.writeS32(m_iFixedTop);
    stream.writeS32(m_iFixedBottom);
    stream.writeS32(m_iFixedLeft);
    stream.writeS32(m_iFixedRight);
    return true;
}

void PictureProperties::propertiesChanged() { }

} // namespace FEN
} // namespace CV
