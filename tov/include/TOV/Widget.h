#pragma once
// The base of every visual element: a node of the widget tree with state
// flags, an id, a style name and attributes that style sheets select on,
// geometry that the alignment pass computes, and virtual operations for
// input, timers and painting.
//
// Widgets are created with std::make_shared and owned by their parent's
// child list (or by the pane, for the root). Parent and pane pointers are
// raw back pointers, cleared when the widget leaves the pane.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BAS/CharSequence.h"
#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "BAS/Region.h"
#include "TOV/AttributesMap.h"
#include "TOV/DragDropEventTarget.h"
#include "TOV/DragDropSource.h"
#include "TOV/Forward.h"
#include "TOV/Margin.h"
#include "TOV/WidgetAlignment.h"
#include "cv/symbol.h"

namespace CV::FEN {
class Font;
}

namespace CV::TOV {

class Widget : public DragDropEventTarget, public DragDropSource, public std::enable_shared_from_this<Widget> {
public:
    // State flags (m_uFlags).
    enum eState : uint64_t {
        eActive = 0x1, // takes part in layout, painting and input
        eShown = 0x2, // activated in a pane
        eParentActive = 0x4, // the whole ancestry is active
        eVisible = 0x8, // painted and hit-tested
        eEnabled = 0x10, // own request to be enabled
        eParentEnabled = 0x20, // the parent is enabled
        eSelected = 0x40,
        eCanOver = 0x80, // hover changes repaint the widget
        eKeyFocusable = 0x100,
        eOverFollowsPointer = 0x200, // the over widget follows the pointer while this one holds the mouse
        eKeyInput = 0x400, // may take the input role
        eNoAlign = 0x800, // kept out of the parent's automatic layout
        eAlignWholePane = 0x1000, // a geometry change re-aligns the whole pane
        ePaintBeforeChildren = 0x2000,
        ePaintAfterChildren = 0x4000,
        eReclipped = 0x8000, // re-clipped in the running alignment pass
        eOpaque = 0x20000,
        eOpaqueInsideMargins = 0x40000,
        eStyleChanged = 0x80000, // the style is read again at the next alignment
        eWantsPostPaintAlign = 0x100000,
        ePostPaintAlignPending = 0x200000,
    };
    static constexpr uint64_t kInitialFlags = eActive | eParentActive | eVisible | eEnabled | eParentEnabled |
        eAlignWholePane | ePaintBeforeChildren | eStyleChanged;

    // What setInvalid(0) marks.
    static uint32_t s_uDefaultInvalidAspects;

    using Children = std::vector<std::shared_ptr<Widget>>;

    Widget();
    ~Widget() override;
    Widget(Widget const&) = delete;
    Widget& operator=(Widget const&) = delete;

    // ---- virtual operations -------------------------------------------
    virtual cv::symbol getClass() const = 0;
    virtual bool isDormant() const;
    // Called after onShow when the widget is shown or hidden.
    virtual void onCustomProcess(bool shown);
    // Called during alignment when the widget was re-aligned; containers
    // place their children here.
    virtual void onAlign();
    virtual void onPostPaintAlign();
    virtual void onShow(bool shown);
    virtual void onPaint(PaintContext& context);
    // True consumes the event during hit testing.
    virtual bool filterMouseEvent(bool inside, unsigned code, FEN::MouseEventData* data);
    virtual bool filterDragDropRequestEvent(bool inside, unsigned code, FEN::DragDropRequestEventData* data);
    virtual void onMouse(unsigned code, FEN::MouseEventData* data);
    // Passes the record to the parent.
    virtual void onWheel(FEN::MouseWheelEventData* data);
    virtual bool onKey(unsigned code, FEN::KeyEventData* data);
    virtual void onTimer();
    // Called when the widget gains or loses the input role.
    virtual void onInput();
    // Reads the common style properties (sizes, margins, position, z-index).
    virtual void onStyleSheetChanged();
    virtual void onChildsAligned();
    // Cross sizes that containers impose; a subclass may refuse them.
    virtual void setArrangedWidth(int width);
    virtual void setArrangedHeight(int height);
    virtual bool getOpaqueRegion(BAS::Region& out) const;
    // 0: decide from the aspects; 1: the whole widget; 2: `region` holds the
    // part, in the widget's own coordinates.
    virtual int getInvalidRegion(BAS::Region& region, unsigned aspects);

    // ---- tree ------------------------------------------------------------
    // Moves the child here (from any earlier parent) and gives it the id.
    void insertChildWidget(std::shared_ptr<Widget> const& child, std::string const& id);
    // Removes the child the iterator names; false for the end.
    bool eraseChild(Children::const_iterator it);
    // Removes the child if it is one of this widget's.
    bool eraseChild(Widget const& child);
    void clearChildren();
    void setPane(Pane* pane);
    // The pane is going away: forget it throughout the subtree.
    void paneDestroyed();
    void recreateChildrenByZIndexCollection() const;
    void activate(Pane& pane, bool show, bool fromParent);
    void setActive(bool active);

    Widget* getParent() const { return m_pParent; }
    Pane* getPane() const { return m_pPane; }
    Children const& getChildren() const { return m_vecChildren; }
    // The children by ascending z-index (insertion order among equals).
    Children const& getChildrenByZ() const;

    // ---- properties -------------------------------------------------------
    std::string const& getId() const { return m_id.string(); }
    std::string const& getStyle() const { return m_style.string(); }
    cv::symbol getIdSymbol() const { return m_id; }
    cv::symbol getStyleSymbol() const { return m_style; }
    void setStyle(BAS::CharSequence<char> const& style);
    // The controls' common first step of styling (see the source).
    void styleDefault(const char* style);
    void setAttribute(std::string const& name, std::string const& value);
    AttributesMap const& getAttributes() const { return m_attributes; }
    void setStyleSheetChanged();
    // Forgets the widget's (and its subtree's) cached rule lists.
    void removeFromCache() const;
    void setEnabled(bool enable);
    void setCanOver(bool canOver);
    void setNoAlign(bool noAlign);
    float getBackingScaleFactor() const;
    FEN::Font const* getFontProperty() const;

    uint64_t getFlags() const { return m_uFlags; }
    bool hasFlags(uint64_t flags) const { return (m_uFlags & flags) == flags; }
    bool isActive() const { return m_uFlags & eActive; }
    bool isShown() const { return m_uFlags & eShown; }
    bool isEnabled() const { return hasFlags(eEnabled | eParentEnabled); }
    bool isSelected() const { return m_uFlags & eSelected; }
    bool isOver() const;
    bool isDown() const;
    bool isFocus() const;
    bool isInput() const;
    bool isNoAlign() const { return m_uFlags & eNoAlign; }
    int getZIndex() const { return m_iZIndex; }

    // ---- style lookup -------------------------------------------------------
    // The value of the most specific rule of the governing style sheet that
    // applies to the widget in its current states, or the default. `found`
    // (may be null) tells whether a rule gave the value. Instances: int,
    // unsigned int, bool, std::string, FEN::Font const*, LazyPicture.
    template <typename T>
    T const& getStyleProperty(cv::symbol const& name, T const& defaultValue, bool* found = nullptr) const;
    // The same with the name given as text (instance: std::string).
    template <typename T>
    T const& getStyleProperty(char const* name, T const& defaultValue, bool* found = nullptr) const;

    // ---- geometry (layout) --------------------------------------------------
    void setSize(BAS::Point const& size);
    void setPos(BAS::Point const& pos);
    void setMargin(Margin const& margin);
    void setOuterMargin(Margin const& margin);
    void setMinSize(BAS::Point const& size) { m_ptMinSize = size; }
    void setMaxSize(BAS::Point const& size) { m_ptMaxSize = size; }
    void setZIndex(int zIndex);
    void setAlign();
    void setParentAlign();
    void align(Pane& pane, BAS::Rect const& clip, BAS::Region& invalid);
    bool updateClipRect(BAS::Rect const& parentClip, BAS::Region& invalid, bool addToInvalid);
    void updateClipRectFromParent();
    void arrangeChilds(eWidgetAlignment alignment, int spacing);

    BAS::Point const& getSize() const { return m_ptSize; }
    BAS::Point const& getPos() const { return m_ptPos; }
    BAS::Point const& getAbsPos() const { return m_ptAbsPos; }
    BAS::Point const& getMinSize() const { return m_ptMinSize; }
    BAS::Point const& getMaxSize() const { return m_ptMaxSize; }
    Margin const& getMargin() const { return m_marginInner; }
    Margin const& getOuterMargin() const { return m_marginOuter; }
    BAS::Rect const& getClipRect() const { return m_rcClip; }
    // (abs pos, abs pos + size), in pane coordinates.
    BAS::Rect getRect() const;
    // The rectangle shrunk by the inner margins.
    BAS::Rect getContentRect() const;
    bool needsAlign() const { return m_bNeedsAlign.load(); }

    // ---- invalidation ---------------------------------------------------------
    // May be called from any thread.
    void setInvalid(unsigned aspects);
    void collectInvalidRegions(BAS::Region& out);
    void resetInvalidRegions();
    void updateOpaqueChildsRegion();
    uint32_t getInvalidAspects() const { return m_uInvalidAspects.load(); }
    BAS::Region& getInvalidRegionStore() { return m_rgnInvalid; }
    int getPostPaintAlignCount() const { return m_iPostPaintAlignCount; }

    // ---- painting ----------------------------------------------------------------------
    // Paints the widget and its children (in z-order) where they meet the
    // region (window coordinates).
    void paint(Canvas& canvas, BAS::Region const& region);
    void postPaintAlign();

    // ---- timers ------------------------------------------------------------------
    // A one-shot count of pane ticks that ends in onTimer; 0 cancels.
    void setTimer(int ticks);
    int getPendingTicks() const { return m_iPendingTicks; }
    // Moves the key focus to the nearest focusable widget from here upward.
    void setFocus();

protected:
    void setFlag(uint64_t flag, bool on);

private:
    friend class Pane;

    void prepareInsertedWidget(std::shared_ptr<Widget> const& child, std::string const& id);
    void addToPostPaintAlignCounts(int delta);
    void detachChild(Widget& child);
    void invalidateOldRectInParent();
    bool isInParentsLayout() const;
    void applyStyleGeometry();
    void applyPictureSize();
    void applyStylePosition();
    void applyStyleZIndex();

    cv::symbol m_id;
    Widget* m_pParent = nullptr;
    Children m_vecChildren;
    // Read by setInvalid from any thread.
    std::atomic<Pane*> m_pPane{nullptr};
    BAS::Point m_ptPos{0, 0};
    BAS::Point m_ptContentInset{0, 0};
    BAS::Point m_ptAbsPos{0, 0};
    int32_t m_iZIndex = 0;
    mutable Children m_vecChildrenByZ;
    BAS::Point m_ptSize{0, 0};
    BAS::Point m_ptMinSize{0, 0};
    BAS::Point m_ptMaxSize{0, 0};
    Margin m_marginInner;
    Margin m_marginOuter;
    BAS::Rect m_rcClip{0, 0, 0, 0};
    cv::symbol m_style;
    AttributesMap m_attributes;
    int32_t m_iPendingTicks = 0;
    uint64_t m_uFlags = kInitialFlags;
    std::atomic<uint32_t> m_uInvalidAspects{0};
    std::atomic<bool> m_bNeedsAlign{false};
    BAS::Region m_rgnInvalid;
    BAS::Region m_rgnOpaqueChildren;
    int32_t m_iPostPaintAlignCount = 0;
};

} // namespace CV::TOV
