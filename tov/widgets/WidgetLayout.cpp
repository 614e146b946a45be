// Geometry of a widget: size limits, position, margins, the alignment pass
// and the stacking of children.
#include <algorithm>

#include "TOV/Pane.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

bool isEmpty(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

bool operator==(BAS::Rect const& a, BAS::Rect const& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The common part of two rectangles, all zeros when they do not meet.
BAS::Rect intersection(BAS::Rect const& a, BAS::Rect const& b)
{
    if (isEmpty(a) || isEmpty(b))
        return {0, 0, 0, 0};
    BAS::Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return isEmpty(r) ? BAS::Rect{0, 0, 0, 0} : r;
}

int clampedLength(int requested, int minimum, int maximum)
{
    int length = std::max(minimum, requested);
    if (maximum > 0 && maximum < length)
        length = maximum;
    return length;
}

} // namespace

BAS::Rect Widget::getRect() const
{
    return {m_ptAbsPos.x, m_ptAbsPos.y, m_ptAbsPos.x + m_ptSize.x, m_ptAbsPos.y + m_ptSize.y};
}

BAS::Rect Widget::getContentRect() const
{
    BAS::Rect r = getRect();
    r.left += m_marginInner.left;
    r.top += m_marginInner.top;
    r.right -= m_marginInner.right;
    r.bottom -= m_marginInner.bottom;
    return r;
}

bool Widget::isInParentsLayout() const
{
    return hasFlags(eActive | eParentActive) && !isNoAlign();
}

void Widget::invalidateOldRectInParent()
{
    if (!m_pParent || !(m_uFlags & eVisible) || !(m_pParent->m_uFlags & eVisible))
        return;
    BAS::Point const origin = m_pParent->m_ptAbsPos;
    m_pParent->m_rgnInvalid.addFast({m_ptAbsPos.x - origin.x, m_ptAbsPos.y - origin.y,
                                     m_ptAbsPos.x - origin.x + m_ptSize.x, m_ptAbsPos.y - origin.y + m_ptSize.y});
    if (m_pParent->m_pPane)
        m_pParent->getPane()->raiseUpdateFlags(Pane::eCollectInvalid);
}

void Widget::setSize(BAS::Point const& size)
{
    BAS::Point const clamped{clampedLength(size.x, m_ptMinSize.x, m_ptMaxSize.x),
                             clampedLength(size.y, m_ptMinSize.y, m_ptMaxSize.y)};
    if (clamped.x == m_ptSize.x && clamped.y == m_ptSize.y)
        return;
    if (!isNoAlign()) {
        m_ptSize = clamped;
        setParentAlign();
        return;
    }
    invalidateOldRectInParent();
    m_ptSize = clamped;
    setAlign();
}

void Widget::setPos(BAS::Point const& pos)
{
    if (pos.x == m_ptPos.x && pos.y == m_ptPos.y)
        return;
    invalidateOldRectInParent();
    m_ptPos = pos;
    setAlign();
}

void Widget::setMargin(Margin const& margin)
{
    if (margin == m_marginInner)
        return;
    m_marginInner = margin;
    setAlign();
}

void Widget::setOuterMargin(Margin const& margin)
{
    if (margin == m_marginOuter)
        return;
    m_marginOuter = margin;
    setParentAlign();
}

void Widget::setZIndex(int zIndex)
{
    if (zIndex == m_iZIndex)
        return;
    m_iZIndex = zIndex;
    if (m_pParent) {
        setParentAlign();
        m_pParent->m_vecChildrenByZ.clear();
    }
}

void Widget::setAlign()
{
    if (m_uFlags & eAlignWholePane) {
        if (m_pPane)
            getPane()->exchangeUpdateFlags(Pane::eCollectInvalid | Pane::eRealign);
        m_bNeedsAlign.store(true);
        if (m_pPane)
            getPane()->raiseUpdateFlags(Pane::eCollectInvalid);
        m_uInvalidAspects.fetch_or(s_uDefaultInvalidAspects);
        return;
    }
    updateClipRectFromParent();
    setInvalid(0);
    if (m_pParent)
        m_pParent->setInvalid(0);
}

void Widget::setParentAlign()
{
    if ((m_uFlags & eAlignWholePane) && m_pParent)
        m_pParent->setAlign();
    setAlign();
}

void Widget::align(Pane& pane, BAS::Rect const& clip, BAS::Region& invalid)
{
    if (!isActive()) {
        if (m_pPane != &pane || isShown()) {
            if (m_pPane && m_pParent) {
                for (Widget const* w = pane.getFocus(); w; w = w->m_pParent)
                    if (w == this) {
                        m_pParent->setFocus();
                        break;
                    }
            }
            activate(pane, false, false);
        }
        updateOpaqueChildsRegion();
        return;
    }
    if (!isShown())
        activate(pane, true, false);
    if (m_pParent)
        setFlag(eParentEnabled, m_pParent->isEnabled());
    if (m_uFlags & eStyleChanged)
        onStyleSheetChanged();
    recreateChildrenByZIndexCollection();

    bool const needsAlign = m_bNeedsAlign.exchange(false);
    if (needsAlign || (m_pParent && (m_pParent->m_uFlags & eReclipped))) {
        updateClipRect(clip, invalid, needsAlign);
        m_uFlags |= eReclipped | ePostPaintAlignPending;
    }
    if (m_iPendingTicks > 0) {
        pane.setTimerEntry(*this, m_iPendingTicks);
        m_iPendingTicks = 0;
    }
    if (needsAlign)
        onAlign();

    BAS::Rect const childClip = intersection(m_rcClip, getContentRect());
    for (size_t i = 0; i < m_vecChildren.size(); ++i) {
        std::shared_ptr<Widget> const child = m_vecChildren[i];
        child->align(pane, childClip, invalid);
    }
    onChildsAligned();
    m_uFlags &= ~uint64_t(eReclipped);
    updateOpaqueChildsRegion();
}

bool Widget::updateClipRect(BAS::Rect const& parentClip, BAS::Region& invalid, bool addToInvalid)
{
    if (m_pParent) {
        Widget const& p = *m_pParent;
        m_ptAbsPos = {p.m_ptAbsPos.x + p.m_marginInner.left + p.m_ptContentInset.x + m_ptPos.x,
                      p.m_ptAbsPos.y + p.m_marginInner.top + p.m_ptContentInset.y + m_ptPos.y};
    } else {
        m_ptAbsPos = {0, 0};
    }
    BAS::Rect const clip = intersection(parentClip, getRect());
    if (clip == m_rcClip)
        return false;
    if (addToInvalid) {
        invalid.addFast(clip);
        invalid.addFast(m_rcClip);
    }
    m_rcClip = clip;
    return true;
}

void Widget::updateClipRectFromParent()
{
    if (!m_pParent)
        return;
    BAS::Region scratch;
    updateClipRect(intersection(m_pParent->m_rcClip, m_pParent->getContentRect()), scratch, false);
    scratch.clear();
}

void Widget::arrangeChilds(eWidgetAlignment alignment, int spacing)
{
    int const W = m_ptSize.x, H = m_ptSize.y;
    int const L = m_marginInner.left, T = m_marginInner.top, R = m_marginInner.right, B = m_marginInner.bottom;
    int const X = m_ptContentInset.x, Y = m_ptContentInset.y;
    // The content's far edges, measured from the content origin.
    int const contentWidth = W - L - R - X;
    int const contentHeight = H - T - B - Y;
    int x = 0, y = 0;
    if (alignment == eAlignRightToLeft)
        x = contentWidth;
    else if (alignment == eAlignBottomToTop)
        y = contentHeight;

    for (size_t i = 0; i < m_vecChildren.size(); ++i) {
        std::shared_ptr<Widget> const child = m_vecChildren[i];
        if (!child->isInParentsLayout())
            continue;
        Margin const& m = child->m_marginOuter;
        switch (alignment) {
        case eAlignTopToBottom:
            child->setPos({m.left, y + m.top});
            child->setArrangedWidth(contentWidth - m.left - m.right);
            y += child->m_ptSize.y + m.top + m.bottom + spacing;
            break;
        case eAlignLeftToRight:
            child->setPos({x + m.left, m.top});
            child->setArrangedHeight(contentHeight - m.top - m.bottom);
            x += child->m_ptSize.x + m.left + m.right + spacing;
            break;
        case eAlignBottomToTop:
            y -= child->m_ptSize.y + m.bottom;
            child->setPos({m.left, y});
            child->setArrangedWidth(contentWidth - m.left - m.right);
            y -= m.top + spacing;
            break;
        case eAlignRightToLeft:
            x -= child->m_ptSize.x + m.right;
            child->setPos({x, m.top});
            child->setArrangedHeight(contentHeight - m.top - m.bottom);
            x -= m.left + spacing;
            break;
        default: return;
        }
    }
}

} // namespace CV::TOV
