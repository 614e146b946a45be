#pragma once
// Mouse codes a pane hands to its widgets' onMouse, each a base plus the
// mouse button number (1 left, 2 right, 4 middle).
namespace CV::TOV {

struct eWidgetMouseEvent {
    enum : unsigned {
        WidgetMouseDown = 100001,
        WidgetMouseUp = 100007,
        WidgetClick = 100013,
        WidgetDoubleClick = 100019,
        WidgetMouseDrag = 100025,
    };
};

} // namespace CV::TOV
