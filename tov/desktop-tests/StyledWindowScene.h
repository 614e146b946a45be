#pragma once
// The widget library, an application and a widget window whose pane holds
// a small styled tree under a style sheet of its own, on whichever backend
// is current: a bordered bar holding a caption, a row with a button and a
// label that changes its text when its widget timer runs out, and a footer
// note. All text is in the library's default font (from the staged
// bundle).
#include <memory>
#include <string>

#include "TOV/Bar.h"
#include "TOV/Button.h"
#include "TOV/Label.h"
#include "TOV/StyleSheet.h"
#include "platform/objc/AutoreleasePool.h"
#include "tov/tests/StagedBundle.h"
#include "tov/tests/WidgetWindowFixture.h"

#include <objc/objc.h>

namespace CV::TOV::TEST {

// A label that shows another text when its widget timer runs out.
class CountdownLabel : public Label {
public:
    void onTimer() override
    {
        ++timerRuns;
        setText(textAfterTimer);
    }
    std::string textAfterTimer;
    int timerRuns = 0;
};

class StyledWindowScene {
public:
    static constexpr int kWidth = 260;
    static constexpr int kHeight = 130;
    // The widget timer's length in ticks.
    static constexpr int kCountdownTicks = 3;

    // Creates the window (hidden) at (left, top) on the screen.
    StyledWindowScene(int left, int top);
    ~StyledWindowScene();
    StyledWindowScene(StyledWindowScene const&) = delete;
    StyledWindowScene& operator=(StyledWindowScene const&) = delete;

    bool created() const { return m_bCreated; }
    CountingWindow& window() { return *m_window; }
    // The platform's window object behind the widget window.
    id nativeWindow() const;
    // Starts the label's countdown.
    void startCountdown();
    CountdownLabel const& countdownLabel() const { return *m_countdown; }

private:
    // Objects the platform hands back autoreleased (a window closed from
    // outside) go with the scene, while their backend is still current.
    platform::objc::AutoreleasePool m_pool;
    StagedBundle m_bundle;
    bool m_bLibrary = false;
    std::unique_ptr<StyleSheet> m_sheet;
    std::unique_ptr<CountingWindow> m_window;
    std::shared_ptr<CountdownLabel> m_countdown;
    bool m_bCreated = false;
};

} // namespace CV::TOV::TEST
