// The window framebuffer's marked region: what the client draws and where.
#include "platform/peer/WindowFramebuffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace platform::peer;

// Fills all it is given with one colour; the clip keeps it to the part
// being drawn.
class FillingClient : public WindowClient {
public:
    explicit FillingClient(double alpha)
        : m_alpha(alpha)
    {
    }
    void windowMoved(Point) override { }
    void windowResized(Size) override { }
    bool windowShouldClose() override { return true; }
    void windowClosed() override { }
    void windowFocusChanged(bool) override { }
    void windowMinimizedChanged(bool) override { }
    void windowBackingScaleChanged(double) override { }
    void draw(CGContextRef context, const Rect& dirty) override
    {
        drawn.push_back(dirty);
        CGContextSetRGBFillColor(context, 1, 0, 0, m_alpha);
        CGContextFillRect(context, CGRectMake(0, 0, 100, 100));
    }

    std::vector<Rect> drawn;

private:
    double m_alpha;
};

TEST(WindowFramebuffer, DrawsOnlyTheMarkedRegionAndEachOfItsPixelsOnce)
{
    struct Case {
        const char* what;
        std::vector<Rect> marks;
        std::vector<Point> painted; // pixels drawn once
        std::vector<Point> untouched; // pixels left alone
    };
    const Case cases[] = {
        {"two rectangles far apart", {{0, 0, 10, 10}, {80, 80, 10, 10}}, {{5, 5}, {85, 85}}, {{50, 50}, {85, 5}}},
        {"overlapping rectangles",
         {{0, 0, 20, 20}, {10, 10, 20, 20}, {5, 5, 10, 10}},
         {{5, 5}, {15, 15}, {25, 25}},
         {{25, 5}, {5, 25}}},
        {"a rectangle inside another", {{0, 0, 40, 40}, {10, 10, 5, 5}}, {{12, 12}, {30, 30}}, {{50, 50}}},
        {"partly outside the content", {{90, 90, 30, 30}}, {{95, 95}}, {{85, 85}}},
    };
    for (const Case& c : cases) {
        WindowFramebuffer framebuffer;
        framebuffer.resize(Size{100, 100}, 1);
        FillingClient client(0.5); // drawing a pixel twice would darken it
        framebuffer.mark(c.marks);
        framebuffer.drawMarked(client);
        const std::uint32_t once = framebuffer.pixel(int(c.painted.front().x), int(c.painted.front().y));
        EXPECT_NE(once, 0u) << c.what;
        for (const Point& p : c.painted)
            EXPECT_EQ(framebuffer.pixel(int(p.x), int(p.y)), once) << c.what << " at " << p.x << "," << p.y;
        for (const Point& p : c.untouched)
            EXPECT_EQ(framebuffer.pixel(int(p.x), int(p.y)), 0u) << c.what << " at " << p.x << "," << p.y;
        EXPECT_FALSE(framebuffer.hasMarked()) << c.what;
    }
}

TEST(WindowFramebuffer, ManyRectanglesMergeIntoTheirBoundsAndNothingMarkedDrawsNothing)
{
    WindowFramebuffer framebuffer;
    framebuffer.resize(Size{100, 100}, 1);
    FillingClient client(1);
    EXPECT_TRUE(framebuffer.drawMarked(client).empty());
    EXPECT_TRUE(framebuffer.mark({Rect{200, 200, 10, 10}}).empty());
    for (int i = 0; i <= int(WindowFramebuffer::kMaxMarkedRects); ++i)
        framebuffer.mark({Rect{double(i * 4), 0, 2, 2}});
    EXPECT_EQ(framebuffer.marked(), (std::vector<Rect>{Rect{0, 0, 4.0 * WindowFramebuffer::kMaxMarkedRects + 2, 2}}));
    EXPECT_EQ(framebuffer.drawMarked(client), client.drawn);
    EXPECT_TRUE(client.drawn.size() == 1 && framebuffer.pixel(3, 1) != 0u);
}

} // namespace
