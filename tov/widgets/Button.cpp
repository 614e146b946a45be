#include "TOV/Button.h"

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/KeyCodes.h"
#include "TOV/Pane.h"
#include "TOV/WidgetMouseEvent.h"

namespace CV::TOV {

namespace {

constexpr unsigned kLeft = 1;
constexpr unsigned kRight = 2;
// Shift, Command, Control, Option and Caps Lock; the keypad bit is left out.
constexpr uint32_t kReturnModifierBits = 0xFF000000;

} // namespace

Button::Button() = default;

Button& Button::style(std::string const& text, const char* styleName)
{
    setCanOver(true);
    m_fnPainter = [](Button const& button, PaintContext& context) {
        button.m_drawer.drawTextPanelItem(button, context);
    };
    setInvalid(0);
    styleDefault(styleName);
    setText(text);
    return *this;
}

cv::symbol Button::getClass() const
{
    static cv::symbol const s_class(std::string("Button"));
    return s_class;
}

void Button::onMouse(unsigned code, FEN::MouseEventData* data)
{
    switch (code) {
    case FEN::eMouseEvent::MouseEnter: onEnter(); break;
    case FEN::eMouseEvent::MouseLeave: onLeave(); break;
    case eWidgetMouseEvent::WidgetMouseDown + kLeft: onLeftPress(*data); break;
    case eWidgetMouseEvent::WidgetMouseUp + kLeft: onLeftRelease(); break;
    case eWidgetMouseEvent::WidgetClick + kLeft: onLeftClick(*data); break;
    case eWidgetMouseEvent::WidgetClick + kRight: m_sigRightClick(data); break;
    case eWidgetMouseEvent::WidgetDoubleClick + kLeft: onLeftDoubleClick(*data); break;
    default: break;
    }
}

bool Button::onKey(unsigned code, FEN::KeyEventData* data)
{
    if (code != FEN::eKeyEvent::KeyDown || (data->key & FEN::eKeyCodeMask) != FEN::eKeyReturn)
        return false;
    ButtonImpl::tSignalData const record{data->key & kReturnModifierBits, data->notRepeat, false};
    if (m_iReturnKeyMode == eReturnClicks)
        m_sigClick(&record);
    else if (m_iReturnKeyMode == eReturnDoubleClicks)
        m_sigDoubleClick(&record);
    return true;
}

void Button::onTimer()
{
    if (m_bHoverTimer) {
        m_bHoverTimer = false;
        m_sigHoverEnd();
        return;
    }
    m_sigRepeat();
    startAutoRepeat(Pane::eAutoRepeatInterval);
}

void Button::onEnter()
{
    m_sigMouseEnter();
    if (m_iHoverTicks > 0) {
        m_bHoverTimer = true;
        setTimer(m_iHoverTicks);
    }
}

void Button::onLeave()
{
    m_sigMouseLeave();
    m_bDoubleClicked = false;
    if (m_bHoverTimer) {
        m_bHoverTimer = false;
        setTimer(0);
    }
}

void Button::onLeftPress(FEN::MouseEventData const& data)
{
    m_bDoubleClicked = false;
    stopHoverPeriod();
    startAutoRepeat(Pane::eAutoRepeatDelay);
    emitPress(data);
}

void Button::onLeftRelease()
{
    stopHoverPeriod();
    setTimer(0);
    m_bDoubleClicked = false;
    m_sigRelease();
}

void Button::onLeftClick(FEN::MouseEventData const& data)
{
    stopHoverPeriod();
    setTimer(0);
    ButtonImpl::tSignalData const record{data.modifiers, true, m_bDoubleClicked};
    m_bDoubleClicked = false;
    m_sigClick(&record);
}

void Button::onLeftDoubleClick(FEN::MouseEventData const& data)
{
    m_bDoubleClicked = true;
    stopHoverPeriod();
    startAutoRepeat(Pane::eAutoRepeatDelay);
    emitPress(data);
    ButtonImpl::tSignalData const record{data.modifiers, true, true};
    if (m_bSeparateDoubleClick)
        m_sigDoubleClick(&record);
    else
        m_sigClick(&record);
}

void Button::stopHoverPeriod()
{
    if (!m_bHoverTimer)
        return;
    m_bHoverTimer = false;
    m_sigHoverEnd();
}

void Button::startAutoRepeat(Pane::eCommonTimeIntervals interval)
{
    if (Pane const* pane = getPane())
        setTimer(pane->getCommonTimeInterval(interval));
}

void Button::emitPress(FEN::MouseEventData const& data)
{
    ButtonImpl::tSignalData const record{data.modifiers, true, m_bDoubleClicked};
    m_sigPress(&record, data.position);
}

} // namespace CV::TOV
