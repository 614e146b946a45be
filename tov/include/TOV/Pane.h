#pragma once
// Hosts one widget tree on one drawing surface: owns the root and the
// overlay widgets, remembers the widgets under the pointer, holding the
// mouse, with the key focus and with the input role, counts widget timers
// in ticks, and aligns the tree and collects what must be repainted.
//
// Mouse and key routing come with the event records; the window services
// are virtual and do nothing here.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <boost/filesystem/path.hpp>

#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "BAS/Region.h"
#include "TOV/Forward.h"
#include "TOV/Signal.h"

namespace CV::TOV {

class StyleSheet;

class Pane {
public:
    // Bits of the update flags.
    enum eUpdateFlag : uint32_t { eCollectInvalid = 0x1, eRealign = 0x2 };
    enum ePaintMode { ePaintRoot = 1, ePaintOverlays = 2, ePaintAll = 3 };
    enum eCommonTimeIntervals { eAutoRepeatDelay = 0, eAutoRepeatInterval = 1 };
    static constexpr int kMaxAlignPasses = 5;

    Pane();
    virtual ~Pane();
    Pane(Pane const&) = delete;
    Pane& operator=(Pane const&) = delete;

    // ---- window services (nothing here) ----------------------------------
    virtual BAS::Rect getOverlayArea() const;
    virtual void invalidateOverlayArea();
    virtual void setCursor(int stdCursor);
    virtual void setCursorPos(BAS::Point const& position);
    virtual void setCursor(void* cursorHandle);
    virtual void resetCursor();
    virtual BAS::Point translateToScreen(BAS::Point point) const;
    virtual BAS::Point translateToWindow(BAS::Point point) const;
    virtual void forceAlign();
    virtual void startRelativeMouseMove();
    virtual void stopRelativeMouseMove();
    virtual std::string getTextFromClipboard();
    virtual void copyToClipboard(std::string const& text);
    virtual void textInputStart(FEN::TextInputBase* client);
    virtual void textInputEnd();
    virtual void textInputResetMarkedRange();
    virtual void openFileDialog(bool save, std::string const& caption, boost::filesystem::path const& initial,
                                std::function<void(boost::filesystem::path)> onChosen);
    virtual void addOverlayWidget(std::shared_ptr<Widget> widget);
    virtual void removeOverlayWidget(Widget& widget);
    virtual void setModalKeyInput(bool modal);
    virtual FEN::WindowBase* getWindow();
    virtual void setKeyFocus();
    virtual void killFocus();

    // ---- input ------------------------------------------------------------------
    // Mouse codes go to onMouse, key codes to onKey; others are not handled.
    virtual bool onEvent(unsigned code, FEN::EventData* data);
    // Offers the key to the input widget and its ancestors, then to the
    // focus widget and its ancestors.
    virtual bool onKey(unsigned code, FEN::KeyEventData* data);
    bool onMouse(unsigned code, FEN::MouseEventData* data);
    // {consumed, target}: the overlays from the last added, then the root.
    std::pair<bool, std::shared_ptr<Widget>> filterMouseEventAndLocateTarget(unsigned code,
                                                                             FEN::MouseEventData* data) const;
    // The same hit test for a drag request at its position.
    std::pair<bool, std::shared_ptr<Widget>> filterDragDropRequestEventAndLocateTarget(
        unsigned code, FEN::DragDropRequestEventData* data) const;
    BAS::Point const& getLastMousePosition() const { return m_ptLastMouse; }
    void setLastMousePosition(BAS::Point const& position) { m_ptLastMouse = position; }

    // ---- tree and geometry -----------------------------------------------
    void setRoot(std::shared_ptr<Widget> root, std::string const& id);
    std::shared_ptr<Widget> const& getRoot() const { return m_root; }
    void setSize(BAS::Point const& size);
    BAS::Point const& getSize() const { return m_ptSize; }
    // Aligns the tree when asked to and collects the regions to repaint.
    void update(BAS::Region& invalid);
    void eraseAllOverlayWidgets();
    // Clears the region to transparent black and paints the tree into it;
    // an empty region paints the root's whole area.
    void paint(Canvas& canvas, BAS::Region const& region, ePaintMode mode);
    std::vector<std::shared_ptr<Widget>> const& getOverlays() const { return m_vecOverlays; }
    // Emits true when the first overlay arrives and false when the last leaves.
    Signal<void(bool)> m_sigOverlays;

    // ---- style ---------------------------------------------------------------
    // The pane's own style sheet; null means the manager's default sheet.
    StyleSheet* getStyleSheet() const { return m_pStyleSheet; }
    void setStyleSheet(StyleSheet* sheet) { m_pStyleSheet = sheet; }
    float getBackingScaleFactor() const { return m_fBackingScale; }
    void setBackingScaleFactor(float scale) { m_fBackingScale = scale; }

    // ---- input state -----------------------------------------------------------
    Widget* getOver() const { return m_pOver; }
    Widget* getDown() const { return m_pDown; }
    Widget* getFocus() const { return m_pFocus; }
    Widget* getInput() const { return m_pInput; }
    bool isButtonHeld(int button) const { return button >= 0 && button < 5 && m_abHeld[button]; }
    void setButtonHeld(int button, bool held);
    void setOver(std::shared_ptr<Widget> const& widget);
    void setDown(std::shared_ptr<Widget> const& widget);
    void setInput(std::shared_ptr<Widget> const& widget);
    // Forgets the focus widget without repainting it.
    void clearFocus() { m_pFocus = nullptr; }
    // Moves the key focus to the nearest key-focusable widget from `from` up.
    void moveFocusFrom(Widget* from);
    // A widget leaves the pane: forget every reference to it.
    void onWidgetRemoved(Widget& widget);

    // ---- timers --------------------------------------------------------------
    void executeTimers();
    int getCommonTimeInterval(eCommonTimeIntervals which) const { return m_aiCommonIntervals[which]; }
    // Ticks left for the widget, or -1 without an entry.
    int getTimerTicks(Widget const& widget) const;

    // ---- update flags (any thread) -------------------------------------------
    void raiseUpdateFlags(uint32_t flags) { m_uUpdateFlags.fetch_or(flags); }
    uint32_t exchangeUpdateFlags(uint32_t flags) { return m_uUpdateFlags.exchange(flags); }
    uint32_t getUpdateFlags() const { return m_uUpdateFlags.load(); }

private:
    friend class Widget;

    // Aligns the tree until no pass asks for another (at most five); returns
    // the flags with what the passes raised.
    uint32_t runAlignPasses(BAS::Rect const& clip, BAS::Region& invalid, uint32_t flags);
    void setTimerEntry(Widget& widget, int ticks);
    template <typename Filter>
    std::pair<bool, std::shared_ptr<Widget>> locateTargetAt(BAS::Point const& position, Filter const& filter) const;
    void paintRegion(ePaintMode mode, BAS::Region const& region, Canvas& canvas);
    void checkMouseLeaveEnter(std::shared_ptr<Widget> const& target, BAS::Point const& position, uint32_t modifiers);
    void onMouseButtonPressedEvent(FEN::MouseButtonEventData* data, std::shared_ptr<Widget> const& target,
                                   BAS::Point const& local);
    void onMouseButtonReleasedEvent(std::shared_ptr<Widget> const& target, FEN::MouseEventData* data);
    void onMouseDrag(std::shared_ptr<Widget> const& target, FEN::MouseEventData* data, BAS::Point const& local);
    void onMouseWheel(std::shared_ptr<Widget> const& target, FEN::MouseEventData* data, BAS::Point const& local);
    // Hands a widget-level code to the widget's drag source first, then to
    // its onMouse.
    void deliverToWidget(Widget& widget, unsigned code, FEN::MouseEventData* record);

    BAS::Point m_ptSize{0, 0};
    StyleSheet* m_pStyleSheet = nullptr;
    std::shared_ptr<Widget> m_root;
    std::vector<std::shared_ptr<Widget>> m_vecOverlays;
    Widget* m_pOver = nullptr;
    Widget* m_pEntered = nullptr;
    Widget* m_pDown = nullptr;
    bool m_bLastPressDouble = false;
    Widget* m_pFocus = nullptr;
    Widget* m_pInput = nullptr;
    std::atomic<uint32_t> m_uUpdateFlags{0};
    bool m_abHeld[5] = {false, false, false, false, false};
    BAS::Point m_ptLastMouse{0, 0};
    std::map<Widget*, int> m_mapTimers;
    int32_t m_iTimerDepth = 0;
    float m_fBackingScale = 1.0f;
    int32_t m_aiCommonIntervals[5] = {5, 1, 5, 10, 5};
};

} // namespace CV::TOV
