// Invalidation marks and the collection of the regions to repaint.
#include "TOV/Pane.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

bool isEmpty(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

} // namespace

void Widget::setInvalid(unsigned aspects)
{
    if (aspects == 0)
        aspects = s_uDefaultInvalidAspects;
    if (Pane* pane = m_pPane.load(std::memory_order_acquire))
        pane->raiseUpdateFlags(Pane::eCollectInvalid);
    m_uInvalidAspects.fetch_or(aspects);
}

int Widget::getInvalidRegion(BAS::Region&, unsigned)
{
    return 0;
}

void Widget::collectInvalidRegions(BAS::Region& out)
{
    uint32_t const aspects = m_uInvalidAspects.exchange(0);
    BAS::Region local;
    bool whole = false;
    switch (getInvalidRegion(local, aspects)) {
    case 1:
        out.addFast(getRect());
        whole = true;
        break;
    case 2:
        local.moveBy(m_ptAbsPos.x, m_ptAbsPos.y);
        BAS::Region::add(out, out, local);
        break;
    case 0:
        if (aspects != 0) {
            out.addFast(getRect());
            whole = true;
        } else if (!m_rgnInvalid.isEmpty()) {
            m_rgnInvalid.moveBy(m_ptAbsPos.x, m_ptAbsPos.y);
            BAS::Region::add(out, out, m_rgnInvalid);
        }
        break;
    default: break;
    }
    local.clear();
    m_rgnInvalid.clear();
    for (auto const& child : m_vecChildren) {
        if (!(child->m_uFlags & (eActive | eShown)))
            continue;
        if (whole)
            child->resetInvalidRegions();
        else
            child->collectInvalidRegions(out);
    }
}

void Widget::resetInvalidRegions()
{
    m_uInvalidAspects.exchange(0);
    m_rgnInvalid.clear();
    for (auto const& child : m_vecChildren)
        if (child->m_uFlags & (eActive | eShown))
            child->resetInvalidRegions();
}

bool Widget::getOpaqueRegion(BAS::Region& out) const
{
    if (isEmpty(m_rcClip))
        return false;
    if (m_uFlags & eOpaque) {
        out.clear();
        out.addFast(m_rcClip);
        return true;
    }
    if (m_uFlags & eOpaqueInsideMargins) {
        BAS::Rect const r{m_rcClip.left + m_marginInner.left, m_rcClip.top + m_marginInner.top,
                          m_rcClip.right - m_marginInner.right, m_rcClip.bottom - m_marginInner.bottom};
        out.clear();
        if (!isEmpty(r))
            out.addFast(r);
        return true;
    }
    if (!m_rgnOpaqueChildren.isEmpty()) {
        m_rgnOpaqueChildren.copyTo(out);
        return true;
    }
    return false;
}

void Widget::updateOpaqueChildsRegion()
{
    m_rgnOpaqueChildren.clear();
    for (auto const& child : m_vecChildren) {
        BAS::Region opaque;
        if (child->getOpaqueRegion(opaque))
            BAS::Region::add(m_rgnOpaqueChildren, m_rgnOpaqueChildren, opaque);
        opaque.clear();
    }
}

} // namespace CV::TOV
