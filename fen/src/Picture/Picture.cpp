#include "FEN/Picture.h"

#include <algorithm>

#include "PixelOps.h"

namespace CV {
namespace FEN {

using PixelOps::clampToInt;
using PixelOps::isEmpty;

namespace {

BAS::Rect intersection(BAS::Rect const& a, BAS::Rect const& b)
{
    BAS::Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return isEmpty(r) ? BAS::Rect{0, 0, 0, 0} : r;
}

} // namespace

Picture::~Picture()
{
    freeData();
}

void Picture::freeData()
{
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
    m_pPixels = nullptr;
    m_iWidth = 0;
    m_iHeight = 0;
    m_uCapacity = 0;
}

bool Picture::reallocData(int width, int height, bool force)
{
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        return false;
    uint64_t const need = uint64_t(width) * uint64_t(height) * 4;
    if (need > kMaxBytes)
        return false;
    if (need == m_uCapacity || (need < m_uCapacity && !force)) {
        if (!m_pBuffer)
            m_uCapacity = 0;
        return m_pBuffer != nullptr;
    }
    freeData();
    uint32_t const size = need ? uint32_t(need) : 16u;
    m_pBuffer = new uint8_t[size];
    m_pPixels = reinterpret_cast<uint32_t*>(m_pBuffer);
    m_uCapacity = size;
    return true;
}

bool Picture::setSize(int width, int height, bool force)
{
    if (!reallocData(width, height, force))
        return false;
    m_iWidth = width;
    m_iHeight = height;
    m_origin = BAS::Point{0, 0};
    m_bClipping = false;
    m_clip = BAS::Rect{0, 0, width, height};
    return true;
}

int Picture::getAnimationWidth() const
{
    if (getAnimationOrientation() == eStacked)
        return m_iWidth;
    return int(m_iWidth / int64_t(std::max(getNumAnimations(), 1u)));
}

int Picture::getAnimationHeight() const
{
    if (getAnimationOrientation() != eStacked)
        return m_iHeight;
    return int(m_iHeight / int64_t(std::max(getNumAnimations(), 1u)));
}

BAS::Rect Picture::getDrawableArea() const
{
    int64_t const ox = m_origin.x;
    int64_t const oy = m_origin.y;
    return BAS::Rect{clampToInt(std::max<int64_t>(0, -ox)), clampToInt(std::max<int64_t>(0, -oy)),
                     clampToInt(m_iWidth - ox), clampToInt(m_iHeight - oy)};
}

BAS::Rect Picture::getPixelArea() const
{
    int64_t const ox = m_origin.x;
    int64_t const oy = m_origin.y;
    return BAS::Rect{clampToInt(-ox), clampToInt(-oy), clampToInt(m_iWidth - ox), clampToInt(m_iHeight - oy)};
}

void Picture::setClipRect(BAS::Rect const& rect)
{
    m_bClipping = true;
    BAS::Rect const area = getDrawableArea();
    if (m_iWidth <= 0 || m_iHeight <= 0 || isEmpty(area) || isEmpty(rect)) {
        m_clip = BAS::Rect{0, 0, 0, 0};
        return;
    }
    m_clip = intersection(rect, area);
}

void Picture::resetClipRect()
{
    m_bClipping = false;
    m_clip = BAS::Rect{0, 0, m_iWidth, m_iHeight};
}

void Picture::setOrigin(BAS::Point const& origin)
{
    if (!m_bClipping) {
        m_origin = origin;
        return;
    }
    int64_t const mx = int64_t(m_origin.x) - origin.x;
    int64_t const my = int64_t(m_origin.y) - origin.y;
    BAS::Rect const moved{clampToInt(m_clip.left + mx), clampToInt(m_clip.top + my), clampToInt(m_clip.right + mx),
                          clampToInt(m_clip.bottom + my)};
    m_origin = origin;
    setClipRect(moved);
}

bool Picture::checkClipRect(BAS::Rect& rect, int* dx, int* dy) const
{
    bool const reversedX = rect.left > rect.right;
    bool const reversedY = rect.top > rect.bottom;
    if (reversedX)
        std::swap(rect.left, rect.right);
    if (reversedY)
        std::swap(rect.top, rect.bottom);
    if (dx)
        *dx = 0;
    if (dy)
        *dy = 0;
    BAS::Rect const ordered = rect;
    rect = (isEmpty(rect) || isEmpty(m_clip)) ? BAS::Rect{0, 0, 0, 0} : intersection(rect, m_clip);
    if (isEmpty(rect))
        return false;
    if (dx && rect.left != ordered.left)
        *dx = ordered.left - rect.left;
    if (dy && rect.top != ordered.top)
        *dy = ordered.top - rect.top;
    if (reversedX)
        std::swap(rect.left, rect.right);
    if (reversedY)
        std::swap(rect.top, rect.bottom);
    return true;
}

void Picture::initEmptyAreaFlags()
{
    m_emptyAreaFlags.clear();
    if (!m_pPixels || m_iWidth <= 0 || m_iHeight <= 0 || !hasAlphaChannel() || getResizableFlags() == 0)
        return;
    int const L = isHorzResizable() ? getFixedLeft() : 0;
    int const R = isHorzResizable() ? getFixedRight() : 0;
    int const T = isVertResizable() ? getFixedTop() : 0;
    int const B = isVertResizable() ? getFixedBottom() : 0;
    if (L < 0 || R < 0 || T < 0 || B < 0)
        return;
    int const fw = getAnimationWidth();
    int const fh = getAnimationHeight();
    int64_t const cw = int64_t(fw) - L - R;
    int64_t const ch = int64_t(fh) - T - B;
    if (cw <= 0 || ch <= 0)
        return;
    int const columns[4] = {0, L, int(L + cw), fw};
    int const rows[4] = {0, T, int(T + ch), fh};
    bool const stacked = getAnimationOrientation() == eStacked;
    unsigned const frames = std::max(getNumAnimations(), 1u);
    m_emptyAreaFlags.reserve(frames);
    for (unsigned k = 0; k < frames; ++k) {
        int const fx = stacked ? 0 : int(k) * fw;
        int const fy = stacked ? int(k) * fh : 0;
        uint32_t mask = 511;
        for (int band = 0; band < 3; ++band) {
            uint32_t const bandBits = 7u << (band * 3);
            for (int row = rows[band]; row < rows[band + 1] && (mask & bandBits); ++row) {
                uint32_t const* line = pixelRow(fy + row) + fx;
                for (int column = 0; column < 3; ++column) {
                    uint32_t const bit = 1u << (band * 3 + column);
                    if (!(mask & bit))
                        continue;
                    uint32_t const* begin = line + columns[column];
                    uint32_t const* end = line + columns[column + 1];
                    if (std::any_of(begin, end, [](uint32_t p) { return !PixelOps::isInvisible(p); }))
                        mask &= ~bit;
                }
            }
        }
        m_emptyAreaFlags.push_back(mask);
    }
}

} // namespace FEN
} // namespace CV
