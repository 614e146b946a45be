#pragma once
// The running updater as a test outside the process sees it: on every
// tick the state goes out through the state channel, and one command
// waiting in the file "<channel>.command" is carried out and the file
// removed. A test writes the next command once the last one is gone.
//
//   click <id>       a click of the left button in the middle of the first
//                    widget (depth first) with that id: the events go to the
//                    application object as the window system's input does
//   answer <label>   the next message box nobody is asked about (without a
//                    display) is answered by that button
//   quit             the platform's request to terminate, to the application
//                    object as the Quit menu item sends it
//
// The application object hands it the code of every application event it
// receives (10000-10005); the state lists them in order.
//
// Only made when the state channel is asked for.
#include "platform/runloop/MainLoop.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CV {

namespace TOV {
class Widget;
}

class StateChannel;

class StateProbe {
public:
    static constexpr const char* kCommandSuffix = ".command";

    StateProbe(std::unique_ptr<StateChannel> channel, std::weak_ptr<TOV::Widget> root, std::function<int()> page);
    ~StateProbe();
    StateProbe(StateProbe const&) = delete;
    StateProbe& operator=(StateProbe const&) = delete;

    // Publishes and carries out a waiting command; the probe's timer calls it.
    void tick();
    void noteApplicationEvent(unsigned code) { m_applicationEvents.push_back(code); }

    // The widget with that id below root (root included), depth first.
    static TOV::Widget* findWidget(TOV::Widget& root, std::string const& id);

private:
    bool takeCommand(std::string& command) const;
    void execute(std::string const& command, TOV::Widget& root);
    static void click(TOV::Widget const& widget);
    static void answerNextAlert(std::string const& label);

    std::unique_ptr<StateChannel> m_channel;
    std::weak_ptr<TOV::Widget> m_root;
    std::function<int()> m_page;
    std::vector<unsigned> m_applicationEvents;
    platform::MainLoop::TimerId m_timer = 0;
};

} // namespace CV
