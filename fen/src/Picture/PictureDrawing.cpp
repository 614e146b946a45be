// The drawing primitives of Picture: pixels, lines, rectangles and fills.
#include <algorithm>
#include <cmath>

#include "FEN/Picture.h"
#include "PixelOps.h"

namespace CV {
namespace FEN {

using PixelOps::cutSpan;
using PixelOps::isEmpty;
using PixelOps::spanOf;

namespace {

bool contains(BAS::Rect const& r, int64_t x, int64_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int64_t floorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int64_t floorMod(int64_t a, int64_t b)
{
    return a - floorDiv(a, b) * b;
}

// Coordinates of anti-aliased lines beyond this magnitude are refused: single
// precision no longer holds whole pixels there.
constexpr float kMaxLineCoordinate = 16777216.0f;

bool usableLineCoordinate(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxLineCoordinate;
}

} // namespace

void Picture::setPixelUC(int x, int y, unsigned colour)
{
    int64_t const column = int64_t(x) + m_origin.x;
    int64_t const row = int64_t(y) + m_origin.y;
    if (column < 0 || column >= m_iWidth || row < 0 || row >= m_iHeight)
        return;
    uint32_t* pixel = pixelAt(column, row);
    *pixel = PixelOps::compositeColour(*pixel, colour, m_bLegacyAlpha);
}

void Picture::clear(unsigned colour)
{
    if (m_pPixels)
        std::fill(m_pPixels, m_pPixels + size_t(m_iWidth) * size_t(m_iHeight), colour);
}

void Picture::drawLineHUC(int x, int y, int len, unsigned colour)
{
    int64_t const row = int64_t(y) + m_origin.y;
    int64_t lo = int64_t(x) + m_origin.x;
    int64_t hi = lo + len;
    if (len <= 0 || row < 0 || row >= m_iHeight || !cutSpan(lo, hi, 0, m_iWidth))
        return;
    PixelOps::drawRun(pixelAt(lo, row), hi - lo, 1, colour, m_bLegacyAlpha);
}

void Picture::drawLineVUC(int x, int y, int len, unsigned colour)
{
    int64_t const column = int64_t(x) + m_origin.x;
    int64_t lo = int64_t(y) + m_origin.y;
    int64_t hi = lo + len;
    if (len <= 0 || column < 0 || column >= m_iWidth || !cutSpan(lo, hi, 0, m_iHeight))
        return;
    PixelOps::drawRun(pixelAt(column, lo), hi - lo, m_iWidth, colour, m_bLegacyAlpha);
}

void Picture::drawLineH(int x, int y, int len, unsigned colour)
{
    BAS::Rect const bounds = m_bClipping ? m_clip : getPixelArea();
    int64_t lo, hi;
    spanOf(x, len, lo, hi);
    if (y < bounds.top || y >= bounds.bottom || !cutSpan(lo, hi, bounds.left, bounds.right))
        return;
    drawLineHUC(int(lo), y, int(hi - lo), colour);
}

void Picture::drawLineV(int x, int y, int len, unsigned colour)
{
    BAS::Rect const bounds = m_bClipping ? m_clip : getPixelArea();
    int64_t lo, hi;
    spanOf(y, len, lo, hi);
    if (x < bounds.left || x >= bounds.right || !cutSpan(lo, hi, bounds.top, bounds.bottom))
        return;
    drawLineVUC(x, int(lo), int(hi - lo), colour);
}

void Picture::fillAreaUC(int x, int y, int w, int h, unsigned colour)
{
    int64_t left = int64_t(x) + m_origin.x, right = left + w;
    int64_t top = int64_t(y) + m_origin.y, bottom = top + h;
    if (w <= 0 || h <= 0 || PixelOps::isInvisible(colour) || !cutSpan(left, right, 0, m_iWidth) ||
        !cutSpan(top, bottom, 0, m_iHeight))
        return;
    int64_t const width = right - left;
    int64_t const height = bottom - top;
    uint32_t* first = pixelAt(left, top);
    // Whole rows from column 0, or a single row, are one contiguous run.
    if ((left == 0 && width == m_iWidth) || height == 1) {
        PixelOps::drawRun(first, width * height, 1, colour, m_bLegacyAlpha);
    } else if (PixelOps::isOpaque(colour)) {
        PixelOps::fillPixels(first, width, height, m_iWidth, colour);
    } else {
        PictureSCALAR::fillAreaTransparent(first, colour, int(width), int(height), m_iWidth, m_bLegacyAlpha);
    }
}

void Picture::fillArea(int x, int y, int w, int h, unsigned colour)
{
    BAS::Rect const bounds = m_bClipping ? m_clip : getPixelArea();
    int64_t left, right, top, bottom;
    spanOf(x, w, left, right);
    spanOf(y, h, top, bottom);
    if (!cutSpan(left, right, bounds.left, bounds.right) || !cutSpan(top, bottom, bounds.top, bounds.bottom))
        return;
    fillAreaUC(int(left), int(top), int(right - left), int(bottom - top), colour);
}

void Picture::invertArea(int x, int y, int w, int h)
{
    BAS::Rect const bounds = m_bClipping ? m_clip : getPixelArea();
    int64_t left, right, top, bottom;
    spanOf(x, w, left, right);
    spanOf(y, h, top, bottom);
    if (!cutSpan(left, right, bounds.left, bounds.right) || !cutSpan(top, bottom, bounds.top, bounds.bottom))
        return;
    // Also cut to the pixels themselves (the clip always lies inside them).
    left += m_origin.x, right += m_origin.x, top += m_origin.y, bottom += m_origin.y;
    if (!cutSpan(left, right, 0, m_iWidth) || !cutSpan(top, bottom, 0, m_iHeight))
        return;
    for (int64_t row = top; row < bottom; ++row) {
        uint32_t* pixel = pixelAt(left, row);
        for (int64_t i = 0; i < right - left; ++i)
            pixel[i] ^= 0x00FFFFFFu;
    }
}

void Picture::setAreaColor(BAS::Rect const& rect, unsigned colour)
{
    int64_t left = int64_t(rect.left) + m_origin.x, right = int64_t(rect.right) + m_origin.x;
    int64_t top = int64_t(rect.top) + m_origin.y, bottom = int64_t(rect.bottom) + m_origin.y;
    if (!cutSpan(left, right, 0, m_iWidth) || !cutSpan(top, bottom, 0, m_iHeight))
        return;
    for (int64_t row = top; row < bottom; ++row)
        std::fill(pixelAt(left, row), pixelAt(right, row), colour);
}

void Picture::drawRectangle(int x, int y, int w, int h, unsigned colour)
{
    int64_t left, right, top, bottom;
    spanOf(x, w, left, right);
    spanOf(y, h, top, bottom);
    if (left == right || top == bottom)
        return;
    // The outline of the whole rectangle, drawn where it meets the bounds.
    BAS::Rect const bounds = m_bClipping ? m_clip : getPixelArea();
    int64_t cutLeft = left, cutRight = right, cutTop = top, cutBottom = bottom;
    if (!cutSpan(cutLeft, cutRight, bounds.left, bounds.right) ||
        !cutSpan(cutTop, cutBottom, bounds.top, bounds.bottom))
        return;
    int const spanWidth = int(cutRight - cutLeft);
    if (top == cutTop)
        drawLineHUC(int(cutLeft), int(top), spanWidth, colour);
    if (bottom - top >= 2 && bottom == cutBottom)
        drawLineHUC(int(cutLeft), int(bottom - 1), spanWidth, colour);
    int64_t const sideTop = std::max(cutTop, top + 1);
    int64_t const sideBottom = std::min(cutBottom, bottom - 1);
    if (sideTop >= sideBottom)
        return;
    if (left == cutLeft)
        drawLineVUC(int(left), int(sideTop), int(sideBottom - sideTop), colour);
    if (right - left >= 2 && right == cutRight)
        drawLineVUC(int(right - 1), int(sideTop), int(sideBottom - sideTop), colour);
}

void Picture::drawLineUC(int x1, int y1, int x2, int y2, unsigned colour)
{
    PICTURE_DETAIL::drawLineBresenham(*this, x1, y1, x2, y2, colour, getPixelArea());
}

void Picture::drawLine(int x1, int y1, int x2, int y2, unsigned colour)
{
    BAS::Rect const bounds = m_bClipping ? m_clip : getDrawableArea();
    if (isEmpty(bounds))
        return;
    bool const beyondSameSide = (x1 < bounds.left && x2 < bounds.left) || (x1 >= bounds.right && x2 >= bounds.right) ||
        (y1 < bounds.top && y2 < bounds.top) || (y1 >= bounds.bottom && y2 >= bounds.bottom);
    if (beyondSameSide)
        return;
    PICTURE_DETAIL::drawLineBresenham(*this, x1, y1, x2, y2, colour, bounds);
}

void Picture::drawLineAA(float x1, float y1, float x2, float y2, unsigned colour)
{
    if (!usableLineCoordinate(x1) || !usableLineCoordinate(y1) || !usableLineCoordinate(x2) ||
        !usableLineCoordinate(y2))
        return;
    int64_t const A = colour >> 24;
    uint32_t const rgb = colour & 0x00FFFFFFu;
    BAS::Rect const bounds = m_bClipping ? m_clip : getDrawableArea();
    if (isEmpty(bounds))
        return;
    int64_t const mx = int64_t(std::min(x1, x2)), my = int64_t(std::min(y1, y2));
    if (mx >= bounds.right || mx + int64_t(std::fabs(x1 - x2)) + 1 <= bounds.left || my >= bounds.bottom ||
        my + int64_t(std::fabs(y1 - y2)) + 1 <= bounds.top)
        return;

    int64_t const DX = int64_t((x2 - x1) * float(A));
    int64_t const DY = int64_t((y2 - y1) * float(A));
    bool const yMajor = std::llabs(DX) < std::llabs(DY);
    double s1 = yMajor ? y1 : x1, t1 = yMajor ? x1 : y1;
    double s2 = yMajor ? y2 : x2, t2 = yMajor ? x2 : y2;
    int64_t M = yMajor ? DY : DX, N = yMajor ? DX : DY;
    if (s2 < s1) {
        std::swap(s1, s2);
        std::swap(t1, t2);
        M = -M;
        N = -N;
    }
    if (M <= 0)
        return;

    int64_t const majorLo = yMajor ? bounds.top : bounds.left;
    int64_t const majorHi = yMajor ? bounds.bottom : bounds.right;
    auto plot = [&](int64_t p, int64_t q, int64_t alpha) {
        int64_t const x = yMajor ? q : p, y = yMajor ? p : q;
        if (contains(bounds, x, y))
            setPixelUC(int(x), int(y), rgb | uint32_t(alpha) << 24);
    };
    // The minor position at a major position p, as a whole part q and a
    // fraction f of M.
    auto minorAt = [&](double s, double t, int64_t p, int64_t& V, int64_t& q, int64_t& f) {
        V = int64_t((double(p) - s) * double(N) + t * double(M));
        q = floorDiv(V, M);
        f = V - q * M;
    };

    int64_t V, q, f;
    int64_t const p1 = int64_t(s1 + 0.5);
    minorAt(s1, t1, p1, V, q, f);
    int64_t const g1 = floorMod(int64_t((s1 + 0.5) * double(M)), M);
    plot(p1, q, (M - f) * A / M * (M - g1) / M);
    plot(p1, q + 1, f * A / M * (M - g1) / M);

    int64_t const p2 = int64_t(s2 + 0.5);
    int64_t V2, q2, f2;
    minorAt(s2, t2, p2, V2, q2, f2);
    int64_t const g2 = floorMod(int64_t((s2 + 0.5) * double(M)), M);
    plot(p2, q2, (M - f2) * A / M * g2 / M);
    plot(p2, q2 + 1, f2 * A / M * g2 / M);

    // Interior, limited to the bounds on the major axis.
    int64_t const first = std::max(p1 + 1, majorLo);
    int64_t const last = std::min(p2 - 1, majorHi - 1);
    if (first > last)
        return;
    V += (first - p1) * N;
    for (int64_t p = first; p <= last; ++p, V += N) {
        q = floorDiv(V, M);
        f = V - q * M;
        plot(p, q, (M - f) * A / M);
        plot(p, q + 1, f * A / M);
    }
}

namespace PictureSCALAR {

void fillAreaTransparent(uint32_t* first, unsigned colour, int w, int h, int stride, bool legacy)
{
    if (PixelOps::isInvisible(colour) || w <= 0 || h <= 0)
        return;
    if (!legacy && !PixelOps::isOpaque(colour)) {
        PixelOps::compositeRows(first, w, h, stride, colour);
        return;
    }
    for (int row = 0; row < h; ++row)
        PixelOps::drawRun(first + ptrdiff_t(row) * stride, w, 1, colour, legacy);
}

} // namespace PictureSCALAR

namespace PICTURE_DETAIL {

void drawLineBresenham(Picture& picture, int x1, int y1, int x2, int y2, unsigned colour, BAS::Rect const& bounds)
{
    int64_t const adx = std::llabs(int64_t(x2) - x1), ady = std::llabs(int64_t(y2) - y1);
    bool const xMajor = adx > ady;
    // Major and minor axes: start, direction, doubled deltas and bounds.
    int64_t const s0 = xMajor ? x1 : y1, t0 = xMajor ? y1 : x1;
    int64_t const ss = (xMajor ? x2 < x1 : y2 < y1) ? -1 : 1;
    int64_t const ts = (xMajor ? y2 < y1 : x2 < x1) ? -1 : 1;
    int64_t const D2 = 2 * (xMajor ? adx : ady), d2 = 2 * (xMajor ? ady : adx);
    int64_t const sLo = xMajor ? bounds.left : bounds.top, sHi = xMajor ? bounds.right : bounds.bottom;
    int64_t const tLo = xMajor ? bounds.top : bounds.left, tHi = xMajor ? bounds.bottom : bounds.right;
    int64_t const steps = D2 / 2;
    if (steps == 0 || sLo >= sHi || tLo >= tHi)
        return;

    // Skip the steps before the walk reaches the near major edge: after i
    // steps the minor axis has moved m(i) = floor((e0 + (i - 1) * d2) / D2) + 1.
    int64_t const e0 = d2 - D2 / 2;
    int64_t const toEdge = ss > 0 ? sLo - s0 : s0 - (sHi - 1);
    int64_t i = std::max<int64_t>(0, toEdge);
    if (i >= steps)
        return;
    int64_t m = 0, e = e0;
    if (i > 0) {
        __int128 const u = __int128(e0) + __int128(i - 1) * d2;
        __int128 q = u / D2;
        if (u % D2 != 0 && u < 0)
            --q;
        m = int64_t(q) + 1;
        e = int64_t(__int128(e0) + __int128(i) * d2 - __int128(m) * D2);
    }
    for (;;) {
        int64_t const s = s0 + i * ss, t = t0 + m * ts;
        if ((ss > 0 ? s >= sHi : s < sLo) || (d2 != 0 && (ts > 0 ? t >= tHi : t < tLo)) ||
            (d2 == 0 && (t < tLo || t >= tHi)))
            return;
        if (s >= sLo && s < sHi && t >= tLo && t < tHi)
            picture.setPixelUC(int(xMajor ? s : t), int(xMajor ? t : s), colour);
        if (++i >= steps)
            return;
        if (e >= 0) {
            ++m;
            e += d2 - D2;
        } else {
            e += d2;
        }
    }
}

} // namespace PICTURE_DETAIL

} // namespace FEN
} // namespace CV
