#pragma once
#include <functional>

#include "TOV/Widget.h"

namespace CV::TOV {

// A widget with a painter and a children-aligned hook, for the stock controls.
template <typename T> class WidgetTemplate : public Widget {
public:
    std::function<void(T const&, PaintContext&)> m_fnPainter;
    std::function<void(T&)> m_fnChildsAligned;

    void onPaint(PaintContext& context) override
    {
        if (m_fnPainter)
            m_fnPainter(static_cast<T const&>(*this), context);
    }
    void onChildsAligned() override
    {
        if (m_fnChildsAligned)
            m_fnChildsAligned(static_cast<T&>(*this));
    }
};

} // namespace CV::TOV
