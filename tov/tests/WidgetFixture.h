#pragma once
// A small widget class and a pane for the widget tests.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "BAS/Region.h"
#include "TOV/PaintContext.h"
#include "TOV/Pane.h"
#include "TOV/Widget.h"

namespace CV::TOV::TEST {

class TestWidget : public Widget {
public:
    explicit TestWidget(std::string const& cls = "Test")
        : m_class(cls)
    {
    }
    using Widget::setFlag;
    cv::symbol getClass() const override { return m_class; }
    void onAlign() override
    {
        ++alignCount;
        if (onAlignHook)
            onAlignHook(*this);
    }
    void onShow(bool shown) override { shownCalls += shown ? "+" : "-"; }
    void onTimer() override { ++timerCount; }
    void onPaint(PaintContext& context) override
    {
        ++paintCount;
        if (fill)
            context.drawFillRect({0, 0, getSize().x, getSize().y}, fill, 0);
    }

    cv::symbol m_class;
    int alignCount = 0;
    int timerCount = 0;
    int paintCount = 0;
    unsigned fill = 0; // painted over the whole widget when not 0
    std::string shownCalls;
    std::function<void(TestWidget&)> onAlignHook;
};

inline std::shared_ptr<TestWidget> makeWidget(std::string const& cls = "Test")
{
    return std::make_shared<TestWidget>(cls);
}

// Opens the region pool for each test.
class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override { BAS::Region::init(); }
    void TearDown() override
    {
        pane.reset();
        BAS::Region::deInit();
    }

    // A pane of the size holding the root, aligned once.
    std::shared_ptr<TestWidget> makeRootInPane(BAS::Point size = {200, 100})
    {
        pane = std::make_unique<Pane>();
        pane->setSize(size);
        auto root = makeWidget("Root");
        pane->setRoot(root, "root");
        update();
        return root;
    }

    // One update of the pane; returns the bounds of what it collected.
    BAS::Rect update()
    {
        BAS::Region invalid;
        pane->update(invalid);
        BAS::Rect bounds = invalid.bounds();
        invalid.clear();
        return bounds;
    }

    std::unique_ptr<Pane> pane;
};

} // namespace CV::TOV::TEST

namespace CV::BAS {

inline bool operator==(Point const& a, Point const& b)
{
    return a.x == b.x && a.y == b.y;
}

inline bool operator==(Rect const& a, Rect const& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, Point const& p)
{
    return out << "(" << p.x << ", " << p.y << ")";
}

inline std::ostream& operator<<(std::ostream& out, Rect const& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

} // namespace CV::BAS
