#pragma once
// The platform's geometry: points, sizes and rectangles of doubles. In the
// window system's coordinates y grows upwards from the bottom-left of the
// first screen; a flipped view's y grows downwards.
#include "platform/objc/TypeEncoding.h"

#include <algorithm>

using CGFloat = double;

struct CGPoint {
    CGFloat x;
    CGFloat y;
};

struct CGSize {
    CGFloat width;
    CGFloat height;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
};

using NSPoint = CGPoint;
using NSSize = CGSize;
using NSRect = CGRect;

inline CGPoint CGPointMake(CGFloat x, CGFloat y)
{
    return CGPoint{x, y};
}
inline CGSize CGSizeMake(CGFloat width, CGFloat height)
{
    return CGSize{width, height};
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return CGRect{{x, y}, {width, height}};
}
inline NSPoint NSMakePoint(CGFloat x, CGFloat y)
{
    return CGPointMake(x, y);
}
inline NSSize NSMakeSize(CGFloat width, CGFloat height)
{
    return CGSizeMake(width, height);
}
inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return CGRectMake(x, y, width, height);
}

inline CGFloat CGRectGetMinX(CGRect r)
{
    return std::min(r.origin.x, r.origin.x + r.size.width);
}
inline CGFloat CGRectGetMaxX(CGRect r)
{
    return std::max(r.origin.x, r.origin.x + r.size.width);
}
inline CGFloat CGRectGetMinY(CGRect r)
{
    return std::min(r.origin.y, r.origin.y + r.size.height);
}
inline CGFloat CGRectGetMaxY(CGRect r)
{
    return std::max(r.origin.y, r.origin.y + r.size.height);
}
inline CGFloat CGRectGetWidth(CGRect r)
{
    return CGRectGetMaxX(r) - CGRectGetMinX(r);
}
inline CGFloat CGRectGetHeight(CGRect r)
{
    return CGRectGetMaxY(r) - CGRectGetMinY(r);
}
inline bool CGRectIsEmpty(CGRect r)
{
    return !(r.size.width != 0 && r.size.height != 0);
}
inline bool CGRectContainsPoint(CGRect r, CGPoint p)
{
    return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) && p.y < CGRectGetMaxY(r);
}
inline bool CGRectEqualToRect(CGRect a, CGRect b)
{
    return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
        a.size.height == b.size.height;
}
// The common part; an empty rectangle at the origin when there is none.
inline CGRect CGRectIntersection(CGRect a, CGRect b)
{
    const CGFloat left = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    const CGFloat right = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    const CGFloat bottom = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    const CGFloat top = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (right <= left || top <= bottom)
        return CGRectMake(0, 0, 0, 0);
    return CGRectMake(left, bottom, right - left, top - bottom);
}
inline CGRect CGRectUnion(CGRect a, CGRect b)
{
    if (CGRectIsEmpty(a))
        return b;
    if (CGRectIsEmpty(b))
        return a;
    const CGFloat left = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    const CGFloat bottom = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    return CGRectMake(left, bottom, std::max(CGRectGetMaxX(a), CGRectGetMaxX(b)) - left,
                      std::max(CGRectGetMaxY(a), CGRectGetMaxY(b)) - bottom);
}

namespace platform::objc {
template <> struct TypeEncoding<CGPoint> {
    static std::string get() { return "{CGPoint=dd}"; }
};
template <> struct TypeEncoding<CGSize> {
    static std::string get() { return "{CGSize=dd}"; }
};
template <> struct TypeEncoding<CGRect> {
    static std::string get() { return "{CGRect={CGPoint=dd}{CGSize=dd}}"; }
};
} // namespace platform::objc
