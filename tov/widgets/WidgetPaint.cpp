// Painting a widget and its children in z-order.
#include "TOV/Canvas.h"
#include "TOV/PaintContext.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

bool isEmpty(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

} // namespace

void Widget::paint(Canvas& canvas, BAS::Region const& region)
{
    if (isEmpty(m_rcClip) || !hasFlags(eActive | eParentActive | eVisible))
        return;
    auto paintSelf = [&](int phase) {
        PaintContext context(canvas, region, m_rcClip, canvas.getBackingScaleFactor(), phase);
        canvas.setOrigin(m_ptAbsPos);
        onPaint(context);
        canvas.resetClip();
        canvas.resetOrigin();
    };
    if (m_uFlags & ePaintBeforeChildren)
        paintSelf(PaintContext::ePhaseBeforeChildren);
    recreateChildrenByZIndexCollection();
    for (size_t i = 0; i < m_vecChildrenByZ.size(); ++i) {
        std::shared_ptr<Widget> const child = m_vecChildrenByZ[i];
        if (region.testRect(child->m_rcClip) != BAS::Region::eOutside)
            child->paint(canvas, region);
    }
    if (m_uFlags & ePaintAfterChildren)
        paintSelf(PaintContext::ePhaseAfterChildren);
}

void Widget::postPaintAlign()
{
    if (!hasFlags(eActive | eParentActive | eVisible))
        return;
    if (m_uFlags & ePostPaintAlignPending) {
        onPostPaintAlign();
        m_uFlags &= ~uint64_t(ePostPaintAlignPending);
    }
    if (m_iPostPaintAlignCount == 0)
        return;
    recreateChildrenByZIndexCollection();
    for (size_t i = 0; i < m_vecChildrenByZ.size(); ++i) {
        std::shared_ptr<Widget> const child = m_vecChildrenByZ[i];
        child->postPaintAlign();
    }
}

} // namespace CV::TOV
