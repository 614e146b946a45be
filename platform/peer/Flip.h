#pragma once
// Where y turns around: between top-down coordinates (the peers' screen and
// content points, the framework's rectangles) and the platform's bottom-up
// ones (the stand-ins' screen, window and view points). Each call names the
// height of the area both sides measure in: the first screen's for screen
// coordinates, the content's for a window's, the view's for a view's own.
#include "platform/cg/CGGeometry.h"
#include "platform/peer/Geometry.h"

namespace platform::peer {

// A y measured from the other edge of an area of that height.
inline double flipY(double y, double height)
{
    return height - y;
}

// The near edge, seen from the other side, of a span [y, y + extent).
inline double flipSpan(double y, double extent, double height)
{
    return height - y - extent;
}

inline CGPoint toBottomUp(Point p, double height)
{
    return CGPointMake(p.x, flipY(p.y, height));
}

inline Point toTopDown(CGPoint p, double height)
{
    return Point{p.x, flipY(p.y, height)};
}

inline CGRect toBottomUp(const Rect& r, double height)
{
    return CGRectMake(r.x, flipSpan(r.y, r.height, height), r.width, r.height);
}

inline Rect toTopDown(const CGRect& r, double height)
{
    return Rect{r.origin.x, flipSpan(r.origin.y, r.size.height, height), r.size.width, r.size.height};
}

} // namespace platform::peer
