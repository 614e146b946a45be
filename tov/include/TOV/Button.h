#pragma once
// The push button: a text panel that turns the pane's widget-level mouse
// codes, the Return key and its widget timer into signals.
//
// The widget timer counts either the hover period that starts when the
// pointer enters (when hover ticks are set) or the auto-repeat while the
// left button is held; arming one replaces the other.
//
// All input, timers and emissions run on the main thread. Each signal
// guards its slot list with its own mutex, so slots may connect and
// disconnect slots, also on the signal being emitted.
#include <cstdint>
#include <string>

#include "BAS/Point.h"
#include "TOV/Pane.h"
#include "TOV/Signal.h"
#include "TOV/TextPanel.h"

namespace CV::TOV {

namespace ButtonImpl {

// What the press, click and double-click signals carry; valid only while
// the signal is emitted.
struct tSignalData {
    uint32_t uModifiers = 0; // modifier bits of the mouse record or key word
    bool bNotRepeat = true; // false for an auto-repeated Return
    bool bDoubleClick = false; // the press came from a double click
};

} // namespace ButtonImpl

class Button : public TextPanel<Button> {
public:
    // What Return does on a button that has the key focus.
    enum eReturnKeyMode : int32_t { eReturnConsumed = 0, eReturnClicks = 1, eReturnDoubleClicks = 2 };

    Button();

    Signal<void(ButtonImpl::tSignalData const*, BAS::Point const&)> m_sigPress;
    Signal<void(ButtonImpl::tSignalData const*)> m_sigClick;
    Signal<void(ButtonImpl::tSignalData const*)> m_sigDoubleClick;
    Signal<void()> m_sigMouseEnter;
    Signal<void(FEN::MouseEventData const*)> m_sigRightClick;
    Signal<void()> m_sigRepeat;
    Signal<void()> m_sigHoverEnd;
    Signal<void()> m_sigMouseLeave;
    Signal<void()> m_sigRelease;

    // Turns hover tracking on, paints the panel and the text, applies the
    // style name (a null name keeps the current one), then sets the text.
    Button& style(std::string const& text, const char* styleName);

    cv::symbol getClass() const override;
    void onMouse(unsigned code, FEN::MouseEventData* data) override;
    bool onKey(unsigned code, FEN::KeyEventData* data) override;
    void onTimer() override;

    void setReturnKeyMode(int32_t mode) { m_iReturnKeyMode = mode; }
    int32_t getReturnKeyMode() const { return m_iReturnKeyMode; }
    // Widget-timer ticks of the hover period; 0 or less: none.
    void setHoverTicks(int32_t ticks) { m_iHoverTicks = ticks; }
    int32_t getHoverTicks() const { return m_iHoverTicks; }
    // A double click emits m_sigDoubleClick in place of m_sigClick.
    void setSeparateDoubleClick(bool separate) { m_bSeparateDoubleClick = separate; }
    bool isSeparateDoubleClick() const { return m_bSeparateDoubleClick; }

private:
    void onEnter();
    void onLeave();
    void onLeftPress(FEN::MouseEventData const& data);
    void onLeftRelease();
    void onLeftClick(FEN::MouseEventData const& data);
    void onLeftDoubleClick(FEN::MouseEventData const& data);
    void stopHoverPeriod();
    void startAutoRepeat(Pane::eCommonTimeIntervals interval);
    void emitPress(FEN::MouseEventData const& data);

    int32_t m_iReturnKeyMode = eReturnConsumed;
    int32_t m_iHoverTicks = 0;
    bool m_bDoubleClicked = false;
    bool m_bHoverTimer = false;
    bool m_bSeparateDoubleClick = false;
};

} // namespace CV::TOV
