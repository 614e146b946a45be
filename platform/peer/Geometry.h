#pragma once
// Geometry between the stand-ins and the peers: points of doubles in the
// window system's top-down coordinates (origin at the top-left of the
// first screen; window content coordinates start at the content area's
// top-left). Flip.h converts to and from the platform's bottom-up
// coordinates.
namespace platform::peer {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
    bool contains(Point p) const { return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height; }
    bool isEmpty() const { return width <= 0 || height <= 0; }
};

// The smallest rectangle holding both.
inline Rect unite(const Rect& a, const Rect& b)
{
    const double left = a.x < b.x ? a.x : b.x, top = a.y < b.y ? a.y : b.y;
    const double right = a.x + a.width > b.x + b.width ? a.x + a.width : b.x + b.width;
    const double bottom = a.y + a.height > b.y + b.height ? a.y + a.height : b.y + b.height;
    return Rect{left, top, right - left, bottom - top};
}

// The part of r inside an area of that size at the origin (empty when none).
inline Rect clampToSize(const Rect& r, Size size)
{
    const double left = r.x > 0 ? r.x : 0, top = r.y > 0 ? r.y : 0;
    const double right = r.x + r.width < size.width ? r.x + r.width : size.width;
    const double bottom = r.y + r.height < size.height ? r.y + r.height : size.height;
    return Rect{left, top, right > left ? right - left : 0, bottom > top ? bottom - top : 0};
}

} // namespace platform::peer
