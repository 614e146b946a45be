#pragma once
// A framework window whose content is a widget pane. The window owns a
// canvas of its size; on every tick of its event timer the pane's widget
// timers run, the tree is aligned and what became invalid is painted into
// the canvas and marked invalid in the platform window, which later copies
// the canvas picture to the screen in its paint event.
#include "BAS/Region.h"
#include "FEN/DeviceContext.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "TOV/BackgroundDrawingCanvas.h"
#include "TOV/WindowingPane.h"

namespace CV::TOV {

template <class T> class Window : public T, public WindowingPane {
public:
    Window()
        : m_pCanvas(new BackgroundDrawingCanvas)
    {
    }

    ~Window() override
    {
        killTimer();
        delete m_pCanvas;
        m_pCanvas = nullptr;
        WindowingPane::textInputEnd();
        m_rgnInvalid.clear();
    }

    FEN::WindowBase* getWindow() override { return this; }

    bool onEvent(unsigned code, FEN::EventData* data) override
    {
        if (code == FEN::eWindowEvent::Closed) {
            killTimer();
            bool const handled = T::onEvent(code, data);
            return WindowingPane::onEvent(code, data) || handled;
        }
        bool const handled = T::onEvent(code, data);
        switch (code) {
        case FEN::eTimerEvent::TimerTick:
            Pane::executeTimers();
            Pane::update(m_rgnInvalid);
            if (!m_rgnInvalid.isEmpty()) {
                T::invalidateRegion(m_rgnInvalid);
                performRedraw(false);
            }
            return true;
        case FEN::eWindowEvent::Created:
            m_pCanvas->setBackingScaleFactor(T::getBackingScaleFactor());
            T::invalidate();
            if (!m_hTimer)
                m_hTimer = T::setEventTimer(0, -10);
            onSizeChanged();
            return true;
        case FEN::eWindowEvent::SizeChanged: onSizeChanged(); return true;
        case FEN::eWindowEvent::AboutToShow: redrawWholeWindow(); return true;
        case FEN::eWindowEvent::Paint:
            if (!T::useOffscreenPictureInsteadOfPaintEvent()) {
                auto* paint = static_cast<FEN::PaintEventData*>(data);
                if (paint && paint->dc)
                    paint->dc->updateFromPicture(m_pCanvas->getPicture(), T::hasAlphaBlending());
            }
            return true;
        case FEN::eWindowEvent::BackingScaleChanged:
            if (data)
                m_pCanvas->setBackingScaleFactor(static_cast<FEN::ScaleEventData*>(data)->scale);
            return handled;
        case FEN::eWindowEvent::WillResize:
        case FEN::eWindowEvent::IdealSize: return handled;
        default: return WindowingPane::onEvent(code, data) || handled;
        }
    }

    // Aligns the tree and paints all of it into the canvas.
    void redrawWholeWindow()
    {
        Pane::update(m_rgnInvalid);
        if (!m_rgnInvalid.isEmpty())
            T::invalidateRegion(m_rgnInvalid);
        m_rgnInvalid.clear();
        performRedraw(true);
    }

    // Paints the collected region (all of the tree when it is empty) into
    // the canvas and, for windows shown from an offscreen picture, hands
    // the picture over.
    void performRedraw(bool force)
    {
        if (Pane::getSize().x <= 0 || Pane::getSize().y <= 0)
            return;
        Pane::paint(*m_pCanvas, m_rgnInvalid, ePaintAll);
        m_rgnInvalid.clear();
        if (T::useOffscreenPictureInsteadOfPaintEvent() && (T::isVisible() || force))
            T::updateOffscreenPicture(m_pCanvas->getPicture());
    }

    BackgroundDrawingCanvas& getCanvas() const { return *m_pCanvas; }
    bool hasEventTimer() const { return m_hTimer != nullptr; }

private:
    void onSizeChanged()
    {
        Pane::setSize(T::getSize(true));
        m_pCanvas->onSize(Pane::getSize());
        redrawWholeWindow();
    }

    void killTimer()
    {
        if (m_hTimer)
            T::killEventTimer(m_hTimer);
        m_hTimer = nullptr;
    }

    FEN::HEventTimer m_hTimer = nullptr;
    BackgroundDrawingCanvas* m_pCanvas;
    BAS::Region m_rgnInvalid;
};

} // namespace CV::TOV
