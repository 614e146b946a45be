#include "TOV/Pane.h"
#include "TOV/DesignWidget.h"

#include <algorithm>

#include "TOV/Canvas.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

void invalidate(Widget* widget)
{
    if (widget)
        widget->setInvalid(0);
}

std::shared_ptr<Widget> lockedOrNull(Widget* widget)
{
    return widget ? widget->weak_from_this().lock() : nullptr;
}

} // namespace

Pane::Pane()
{
    DesignWidget::paneCreated(this);
}

Pane::~Pane()
{
    if (m_root)
        m_root->paneDestroyed();
    DesignWidget::paneDestroyed(this);
    m_sigOverlays.disconnectAll();
    m_mapTimers.clear();
    m_vecOverlays.clear();
    m_root.reset();
}

// ---- window services ----------------------------------------------------------

BAS::Rect Pane::getOverlayArea() const
{
    return {0, 0, m_ptSize.x, m_ptSize.y};
}

void Pane::invalidateOverlayArea()
{
    if (m_root)
        m_root->setInvalid(0);
}

void Pane::setCursor(int) { }
void Pane::setCursorPos(BAS::Point const&) { }
void Pane::setCursor(void*) { }
void Pane::resetCursor() { }
BAS::Point Pane::translateToScreen(BAS::Point point) const
{
    return point;
}
BAS::Point Pane::translateToWindow(BAS::Point point) const
{
    return point;
}
void Pane::startRelativeMouseMove() { }
void Pane::stopRelativeMouseMove() { }
std::string Pane::getTextFromClipboard()
{
    return {};
}
void Pane::copyToClipboard(std::string const&) { }
void Pane::textInputStart(FEN::TextInputBase*) { }
void Pane::textInputEnd() { }
void Pane::textInputResetMarkedRange() { }
void Pane::openFileDialog(bool, std::string const&, boost::filesystem::path const&,
                          std::function<void(boost::filesystem::path)>)
{
}
void Pane::setModalKeyInput(bool) { }
FEN::WindowBase* Pane::getWindow()
{
    return nullptr;
}
void Pane::setKeyFocus() { }
void Pane::killFocus() { }

// ---- tree and geometry --------------------------------------------------------

void Pane::setRoot(std::shared_ptr<Widget> root, std::string const& id)
{
    eraseAllOverlayWidgets();
    std::shared_ptr<Widget> const old = m_root;
    if (old)
        old->setPane(nullptr);
    m_root = std::move(root);
    if (!m_root)
        return;
    m_root->setPane(this);
    m_root->m_id = cv::symbol(id);
    m_root->setSize(m_ptSize);
    m_root->setStyleSheetChanged();
    m_root->setAlign();
    forceAlign();
}

void Pane::setSize(BAS::Point const& size)
{
    if (size.x == m_ptSize.x && size.y == m_ptSize.y)
        return;
    m_ptSize = size;
    if (m_root) {
        m_root->setSize(size);
        m_root->setAlign();
    }
    eraseAllOverlayWidgets();
}

uint32_t Pane::runAlignPasses(BAS::Rect const& clip, BAS::Region& invalid, uint32_t flags)
{
    for (int pass = 1; m_root; ++pass) {
        m_root->align(*this, clip, invalid);
        flags &= ~uint32_t(eRealign);
        // Requests raised during the last pass allowed are dropped.
        if (pass >= kMaxAlignPasses)
            m_uUpdateFlags.exchange(0);
        uint32_t const more = m_uUpdateFlags.exchange(0);
        flags |= more;
        if (!(more & eRealign))
            break;
    }
    return flags;
}

void Pane::update(BAS::Region& invalid)
{
    if (!m_root)
        return;
    BAS::Rect const area = getOverlayArea();
    uint32_t flags = m_uUpdateFlags.exchange(0);
    if (flags & eRealign)
        flags = runAlignPasses(area, invalid, flags);
    if ((flags & eCollectInvalid) && m_root) {
        for (size_t i = m_vecOverlays.size(); i-- > 0;)
            m_vecOverlays[i]->collectInvalidRegions(invalid);
        m_root->collectInvalidRegions(invalid);
    }
    invalid.intersect(area);
}

void Pane::forceAlign()
{
    if (!m_root)
        return;
    uint32_t const flags = m_uUpdateFlags.exchange(0);
    if (flags & eRealign) {
        BAS::Region scratch;
        runAlignPasses({0, 0, 100, 100}, scratch, flags);
        scratch.clear();
    }
    if (m_root)
        m_root->setAlign();
}

// ---- painting -------------------------------------------------------------------

void Pane::paint(Canvas& canvas, BAS::Region const& region, ePaintMode mode)
{
    if (!m_root)
        return;
    m_fBackingScale = canvas.getBackingScaleFactor();
    if (region.isEmpty()) {
        BAS::Point const size = m_root->getSize();
        if (size.x > 0 && size.y > 0) {
            BAS::Region whole;
            whole.addFast({0, 0, size.x, size.y});
            paintRegion(mode, whole, canvas);
            whole.clear();
        }
    } else {
        paintRegion(mode, region, canvas);
    }
    if (m_root)
        m_root->postPaintAlign();
}

void Pane::paintRegion(ePaintMode mode, BAS::Region const& region, Canvas& canvas)
{
    std::shared_ptr<Widget> const root = m_root;
    BAS::Rect const& rootClip = root->getClipRect();
    if (mode != ePaintOverlays) {
        for (BAS::Region::const_intersector walk(region, rootClip, {0, 0}); !walk.isDone(); walk.advance())
            canvas.setAreaColor(walk.getRect(), 0);
    }
    m_fBackingScale = canvas.getBackingScaleFactor();
    if (mode != ePaintOverlays && region.testRect(rootClip) != BAS::Region::eOutside)
        root->paint(canvas, region);
    if (mode != ePaintRoot) {
        std::vector<std::shared_ptr<Widget>> const overlays = m_vecOverlays;
        for (auto const& overlay : overlays)
            if (region.testRect(overlay->getClipRect()) != BAS::Region::eOutside)
                overlay->paint(canvas, region);
    }
}

// ---- overlays -------------------------------------------------------------------

void Pane::addOverlayWidget(std::shared_ptr<Widget> widget)
{
    if (!widget)
        return;
    removeOverlayWidget(*widget);
    bool const first = m_vecOverlays.empty();
    m_vecOverlays.push_back(std::move(widget));
    if (first)
        m_sigOverlays(true);
}

void Pane::removeOverlayWidget(Widget& widget)
{
    auto it = std::find_if(m_vecOverlays.begin(), m_vecOverlays.end(),
                           [&](std::shared_ptr<Widget> const& w) { return w.get() == &widget; });
    if (it == m_vecOverlays.end())
        return;
    m_vecOverlays.erase(it);
    if (m_vecOverlays.empty())
        m_sigOverlays(false);
}

void Pane::eraseAllOverlayWidgets()
{
    while (!m_vecOverlays.empty()) {
        std::shared_ptr<Widget> const first = m_vecOverlays.front();
        if (Widget* parent = first->getParent())
            parent->eraseChild(*first);
        // An overlay outside the tree (or not held by its parent) leaves the
        // list here, so the loop always ends.
        if (!m_vecOverlays.empty() && m_vecOverlays.front() == first)
            removeOverlayWidget(*first);
    }
}

// ---- input state ------------------------------------------------------------------

void Pane::setButtonHeld(int button, bool held)
{
    if (button >= 0 && button < 5)
        m_abHeld[button] = held;
}

void Pane::setOver(std::shared_ptr<Widget> const& widget)
{
    if (widget.get() == m_pOver)
        return;
    if (m_pOver && (m_pOver->getFlags() & Widget::eCanOver))
        m_pOver->setInvalid(0);
    m_pOver = widget.get();
    if (m_pOver && (m_pOver->getFlags() & Widget::eCanOver) && m_pOver->isEnabled())
        m_pOver->setInvalid(0);
}

void Pane::setDown(std::shared_ptr<Widget> const& widget)
{
    if (widget.get() == m_pDown)
        return;
    invalidate(m_pDown);
    m_pDown = widget.get();
    invalidate(m_pDown);
}

void Pane::moveFocusFrom(Widget* from)
{
    std::shared_ptr<Widget> const keep = lockedOrNull(from);
    Widget* found = from;
    while (found && !(found->getFlags() & Widget::eKeyFocusable))
        found = found->getParent();
    if (found && found != m_pFocus) {
        invalidate(m_pFocus);
        m_pFocus = found;
        invalidate(m_pFocus);
    }
    if (m_pFocus)
        setKeyFocus();
}

void Pane::setInput(std::shared_ptr<Widget> const& widget)
{
    if (widget.get() == m_pInput)
        return;
    Widget* candidate = widget.get();
    if (candidate) {
        Widget* w = candidate;
        while (!(w->getFlags() & Widget::eKeyInput) && w->getParent())
            w = w->getParent();
        candidate = w;
    }
    if (candidate == m_pInput)
        return;
    Widget* const newInput =
        (candidate && (candidate->getFlags() & Widget::eKeyInput) && candidate->isEnabled()) ? candidate : nullptr;
    Widget* const old = m_pInput;
    std::shared_ptr<Widget> const keepOld = lockedOrNull(old);
    std::shared_ptr<Widget> const keepNew = lockedOrNull(newInput);
    m_pInput = newInput;
    setModalKeyInput(newInput != nullptr);
    if (old) {
        old->setInvalid(0);
        old->onInput();
    }
    if (newInput) {
        moveFocusFrom(newInput);
        if (m_pInput) {
            m_pInput->setInvalid(0);
            m_pInput->onInput();
        }
    }
}

void Pane::onWidgetRemoved(Widget& widget)
{
    std::shared_ptr<Widget> keepRoot;
    if (m_pEntered == &widget)
        m_pEntered = nullptr;
    if (m_root.get() == &widget)
        keepRoot = std::move(m_root);
    if (m_pOver == &widget)
        m_pOver = nullptr;
    if (m_pDown == &widget) {
        widget.setInvalid(0);
        m_pDown = nullptr;
    }
    if (m_pFocus == &widget) {
        m_pFocus = nullptr;
        if (Widget* parent = widget.getParent())
            moveFocusFrom(parent);
    }
    if (m_pInput == &widget)
        m_pInput = nullptr;
    removeOverlayWidget(widget);
    auto timer = m_mapTimers.find(&widget);
    if (timer != m_mapTimers.end())
        timer->second = 0;
}

// ---- timers -----------------------------------------------------------------------

void Pane::setTimerEntry(Widget& widget, int ticks)
{
    m_mapTimers[&widget] = ticks;
}

int Pane::getTimerTicks(Widget const& widget) const
{
    auto it = m_mapTimers.find(const_cast<Widget*>(&widget));
    return it == m_mapTimers.end() ? -1 : it->second;
}

void Pane::executeTimers()
{
    for (auto it = m_mapTimers.begin(); it != m_mapTimers.end();) {
        if (it->second == 0) {
            it = m_iTimerDepth > 0 ? std::next(it) : m_mapTimers.erase(it);
            continue;
        }
        Widget* const widget = it->first;
        if (widget->hasFlags(Widget::eActive | Widget::eParentActive) && --it->second == 0) {
            std::shared_ptr<Widget> const keep = lockedOrNull(widget);
            ++m_iTimerDepth;
            widget->onTimer();
            --m_iTimerDepth;
        }
        ++it;
    }
}

} // namespace CV::TOV
