#pragma once
// Geometry between the stand-ins and the peers: points of doubles in the
// window system's top-down coordinates (origin at the top-left of the
// first screen; window content coordinates start at the content area's
// top-left). The stand-ins convert to and from the platform's bottom-up
// rectangles.
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
};

} // namespace platform::peer
