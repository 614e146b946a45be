#pragma once
// A widget of the benchmarks: arranges its children along one axis and
// fills itself with a bordered grey.
#include <string>

#include "TOV/PaintContext.h"
#include "TOV/Widget.h"

namespace CV::TOV::BENCH {

class Box : public Widget {
public:
    explicit Box(eWidgetAlignment direction)
        : m_direction(direction)
    {
    }
    cv::symbol getClass() const override
    {
        static cv::symbol const s_class(std::string("Box"));
        return s_class;
    }
    void onAlign() override { arrangeChilds(m_direction, 2); }
    void onPaint(PaintContext& context) override
    {
        context.drawFillRect({0, 0, getSize().x, getSize().y}, 0xFF303030u, 0xFF808080u);
    }

private:
    eWidgetAlignment m_direction;
};

} // namespace CV::TOV::BENCH
