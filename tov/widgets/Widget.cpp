#include "TOV/Widget.h"

#include <algorithm>

#include "TOV/Pane.h"
#include "WidgetStyleCaches.h"

namespace CV::TOV {

uint32_t Widget::s_uDefaultInvalidAspects = 0xFFFFFFFFu;

namespace {

cv::symbol symbolOf(std::string const& text)
{
    return cv::symbol(text);
}

bool isSelfOrDescendant(Widget const* candidate, Widget const* ancestor)
{
    for (; candidate; candidate = candidate->getParent())
        if (candidate == ancestor)
            return true;
    return false;
}

} // namespace

Widget::Widget() = default;

Widget::~Widget()
{
    clearChildren();
    removeFromCache();
    DETAIL::eraseDrawingCache(*this);
    DETAIL::forgetWidgetInEverySheet(*this);
    m_rgnInvalid.clear();
    m_rgnOpaqueChildren.clear();
}

// ---- default virtual operations -------------------------------------------

bool Widget::isDormant() const
{
    return false;
}
void Widget::onCustomProcess(bool) { }
void Widget::onAlign() { }
void Widget::onPostPaintAlign() { }
void Widget::onShow(bool) { }
void Widget::onPaint(PaintContext&) { }
bool Widget::filterMouseEvent(bool, unsigned, FEN::MouseEventData*)
{
    return false;
}
bool Widget::filterDragDropRequestEvent(bool, unsigned, FEN::DragDropRequestEventData*)
{
    return false;
}
void Widget::onMouse(unsigned, FEN::MouseEventData*) { }

void Widget::onWheel(FEN::MouseWheelEventData* data)
{
    if (m_pParent)
        m_pParent->onWheel(data);
}

bool Widget::onKey(unsigned, FEN::KeyEventData*)
{
    return false;
}
void Widget::onTimer() { }
void Widget::onInput() { }
void Widget::onChildsAligned() { }

void Widget::setArrangedWidth(int width)
{
    setSize({width, m_ptSize.y});
}

void Widget::setArrangedHeight(int height)
{
    setSize({m_ptSize.x, height});
}

// ---- tree ------------------------------------------------------------------

void Widget::insertChildWidget(std::shared_ptr<Widget> const& child, std::string const& id)
{
    // The caller's reference may be the old parent's own entry, which the
    // move below releases: keep the child alive meanwhile.
    std::shared_ptr<Widget> const keep = child;
    prepareInsertedWidget(keep, id);
    m_vecChildren.push_back(keep);
    m_vecChildrenByZ.clear();
    addToPostPaintAlignCounts(((keep->m_uFlags & eWantsPostPaintAlign) ? 1 : 0) + keep->m_iPostPaintAlignCount);
}

void Widget::prepareInsertedWidget(std::shared_ptr<Widget> const& child, std::string const& id)
{
    child->m_id = symbolOf(id);
    if (child->m_pParent)
        child->m_pParent->eraseChild(*child);
    child->m_pParent = this;
    child->setPane(m_pPane);
    child->setStyleSheetChanged();
    DETAIL::forgetWidgetInEverySheet(*this);
    setAlign();
}

bool Widget::eraseChild(Children::const_iterator it)
{
    if (it == m_vecChildren.end())
        return false;
    std::shared_ptr<Widget> child = *it;
    m_vecChildren.erase(it);
    m_vecChildrenByZ.clear();
    addToPostPaintAlignCounts(-(((child->m_uFlags & eWantsPostPaintAlign) ? 1 : 0) + child->m_iPostPaintAlignCount));
    detachChild(*child);
    setAlign();
    child.reset();
    return true;
}

bool Widget::eraseChild(Widget const& child)
{
    auto it = std::find_if(m_vecChildren.begin(), m_vecChildren.end(),
                           [&](std::shared_ptr<Widget> const& c) { return c.get() == &child; });
    return eraseChild(it);
}

void Widget::detachChild(Widget& child)
{
    child.setPane(nullptr);
    child.m_pParent = nullptr;
}

void Widget::clearChildren()
{
    for (auto const& child : m_vecChildren)
        detachChild(*child);
    for (Widget* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent)
        ancestor->m_iPostPaintAlignCount -= m_iPostPaintAlignCount;
    m_iPostPaintAlignCount = 0;
    Children released;
    released.swap(m_vecChildren);
    m_vecChildrenByZ.clear();
    released.clear();
    setAlign();
}

void Widget::addToPostPaintAlignCounts(int delta)
{
    for (Widget* w = this; w; w = w->m_pParent)
        w->m_iPostPaintAlignCount += delta;
}

void Widget::setPane(Pane* pane)
{
    for (auto const& child : m_vecChildren)
        child->setPane(pane);
    if (m_pPane == pane)
        return;
    // Leaving the pane may release the pane's last reference (the root).
    std::shared_ptr<Widget> const keep = weak_from_this().lock();
    if (m_pPane) {
        onShow(false);
        getPane()->onWidgetRemoved(*this);
    }
    m_pPane = pane;
    m_uFlags &= ~uint64_t(eShown);
}

void Widget::paneDestroyed()
{
    m_pPane = nullptr;
    for (auto const& child : m_vecChildren)
        child->paneDestroyed();
}

void Widget::recreateChildrenByZIndexCollection() const
{
    if (m_vecChildrenByZ.size() == m_vecChildren.size())
        return;
    m_vecChildrenByZ = m_vecChildren;
    std::stable_sort(m_vecChildrenByZ.begin(), m_vecChildrenByZ.end(),
                     [](auto const& a, auto const& b) { return a->m_iZIndex < b->m_iZIndex; });
}

Widget::Children const& Widget::getChildrenByZ() const
{
    recreateChildrenByZIndexCollection();
    return m_vecChildrenByZ;
}

void Widget::activate(Pane& pane, bool show, bool fromParent)
{
    if (m_pPane != &pane) {
        m_pPane = &pane;
        m_uFlags |= eStyleChanged;
        DETAIL::forgetWidgetInEverySheet(*this);
    }
    if (fromParent)
        setFlag(eParentActive, show);
    else if (show && m_pParent)
        setFlag(eParentActive, m_pParent->hasFlags(eActive | eParentActive));

    if (isShown() != show) {
        if (show) {
            m_uFlags |= eShown;
        } else {
            if (isSelfOrDescendant(pane.getFocus(), this)) {
                pane.setInput(nullptr);
                pane.killFocus();
            }
            m_uFlags &= ~uint64_t(eShown);
        }
        onShow(show);
        onCustomProcess(show);
    }

    for (size_t i = 0; i < m_vecChildren.size(); ++i) {
        std::shared_ptr<Widget> const child = m_vecChildren[i];
        if (!show)
            child->activate(pane, false, true);
        else if (child->isActive())
            child->activate(pane, true, true);
    }
}

void Widget::setActive(bool active)
{
    uint64_t const before = m_uFlags;
    setFlag(eActive, active);
    if (m_pParent)
        setFlag(eParentActive, m_pParent->hasFlags(eActive | eParentActive));
    if ((before ^ m_uFlags) & (eActive | eParentActive))
        setParentAlign();
}

void Widget::setFlag(uint64_t flag, bool on)
{
    if (on)
        m_uFlags |= flag;
    else
        m_uFlags &= ~flag;
}

// ---- properties -------------------------------------------------------------

void Widget::setStyle(BAS::CharSequence<char> const& style)
{
    m_style = symbolOf(std::string(style.data(), style.size()));
    removeFromCache();
}

void Widget::styleDefault(const char* style)
{
    if (style)
        setStyle(style);
    if (m_ptMinSize.x != 18 || m_ptMinSize.y != 18) {
        m_ptMinSize = {18, 18};
        setSize(m_ptSize);
    }
    setSize(m_ptMinSize);
    setStyleSheetChanged();
    DETAIL::forgetWidgetInEverySheet(*this);
}

void Widget::setAttribute(std::string const& name, std::string const& value)
{
    if (m_attributes.setAttribute(symbolOf(name), value))
        setStyleSheetChanged();
}

void Widget::setStyleSheetChanged()
{
    m_uFlags |= eStyleChanged;
    setAlign();
    for (auto const& child : m_vecChildren)
        child->setStyleSheetChanged();
}

void Widget::removeFromCache() const
{
    if (m_pPane)
        DETAIL::forgetWidgetInGoverningSheet(*this);
    for (auto const& child : m_vecChildren)
        child->removeFromCache();
}

void Widget::setEnabled(bool enable)
{
    // The own request is compared, not the derived state: a widget disabled
    // while its parent is disabled must stay disabled when the parent is
    // enabled again.
    if (enable == bool(m_uFlags & eEnabled))
        return;
    setFlag(eEnabled, enable);
    setAlign();
}

void Widget::setCanOver(bool canOver)
{
    setFlag(eCanOver, canOver);
    if (!canOver && m_pPane && getPane()->m_pOver == this)
        getPane()->m_pOver = nullptr;
}

void Widget::setNoAlign(bool noAlign)
{
    setFlag(eNoAlign, noAlign);
}

float Widget::getBackingScaleFactor() const
{
    return m_pPane ? getPane()->getBackingScaleFactor() : 1.0f;
}

bool Widget::isOver() const
{
    return m_pPane && getPane()->getOver() == this;
}

bool Widget::isDown() const
{
    return m_pPane && getPane()->getDown() == this && getPane()->isButtonHeld(1);
}

bool Widget::isFocus() const
{
    return m_pPane && getPane()->getFocus() == this;
}

bool Widget::isInput() const
{
    return m_pPane && getPane()->getInput() == this;
}

// ---- timers and focus --------------------------------------------------------

void Widget::setTimer(int ticks)
{
    int const n = std::max(ticks, 0);
    if (!m_pPane) {
        m_iPendingTicks = n;
        return;
    }
    if (n > 0) {
        getPane()->setTimerEntry(*this, n);
        return;
    }
    auto it = getPane()->m_mapTimers.find(this);
    if (it != getPane()->m_mapTimers.end())
        it->second = 0;
    m_iPendingTicks = 0;
}

void Widget::setFocus()
{
    if (!m_pPane)
        return;
    Pane& pane = *m_pPane;
    pane.setInput(nullptr);
    std::shared_ptr<Widget> const self = shared_from_this();
    pane.moveFocusFrom(this);
}

} // namespace CV::TOV
