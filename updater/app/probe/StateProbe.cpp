#include "updater/app/probe/StateProbe.h"

#include "FEN/WindowBase.h"
#include "TOV/Pane.h"
#include "TOV/Widget.h"
#include "platform/alert/AlertAnswers.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/system/SmallFile.h"
#include "updater/app/probe/StateChannel.h"

#include <unistd.h>

#include <chrono>

namespace CV {

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(40);
constexpr std::size_t kLongestCommand = 4096;

// An event of the left button (or a move without one) at a point of the
// window, handed to the application as the window system's input is.
void sendMouseEvent(platform::appkit::NSEventType type, id window, NSPoint location)
{
    using namespace platform::appkit;
    platform::objc::AutoreleasePool pool;
    EventRecord record;
    record.type = type;
    record.location = location;
    record.window = window;
    record.clickCount = type == NSEventTypeMouseMoved ? 0 : 1;
    record.timestamp = std::chrono::duration<double>(platform::MainLoop::instance().now().time_since_epoch()).count();
    noteInputState(0, type == NSEventTypeLeftMouseDown ? 1u : 0u);
    id event = makeEvent(record);
    platform::objc::send<void>(NSApp, "sendEvent:", event);
    platform::objc::NSObject::release(event);
}

} // namespace

StateProbe::StateProbe(std::unique_ptr<StateChannel> channel, std::weak_ptr<TOV::Widget> root,
                       std::function<int()> page)
    : m_channel(std::move(channel))
    , m_root(std::move(root))
    , m_page(std::move(page))
{
    m_timer = platform::MainLoop::instance().addTimer(kTickInterval, true, [this] { tick(); });
}

StateProbe::~StateProbe()
{
    platform::MainLoop::instance().cancelTimer(m_timer);
}

void StateProbe::tick()
{
    std::shared_ptr<TOV::Widget> root = m_root.lock();
    if (!root)
        return;
    m_channel->publish(*root, m_page ? m_page() : -1, m_applicationEvents);
    std::string command;
    if (takeCommand(command))
        execute(command, *root);
}

bool StateProbe::takeCommand(std::string& command) const
{
    std::string const path = m_channel->getPath() + kCommandSuffix;
    std::string text;
    if (!platform::SmallFile::read(path, kLongestCommand, text))
        return false;
    ::unlink(path.c_str());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    command = std::move(text);
    return true;
}

void StateProbe::execute(std::string const& command, TOV::Widget& root)
{
    std::string::size_type const space = command.find(' ');
    std::string const verb = command.substr(0, space);
    std::string const argument = space == std::string::npos ? std::string() : command.substr(space + 1);
    if (verb == "click") {
        if (TOV::Widget* widget = findWidget(root, argument))
            click(*widget);
    } else if (verb == "answer") {
        answerNextAlert(argument);
    } else if (verb == "quit") {
        platform::objc::send<void>(NSApp, "terminate:", id(nil));
    }
}

TOV::Widget* StateProbe::findWidget(TOV::Widget& root, std::string const& id)
{
    if (root.getId() == id)
        return &root;
    for (auto const& child : root.getChildren())
        if (TOV::Widget* found = findWidget(*child, id))
            return found;
    return nullptr;
}

void StateProbe::click(TOV::Widget const& widget)
{
    using namespace platform::appkit;
    TOV::Pane* const pane = widget.getPane();
    FEN::WindowBase* const window = pane ? pane->getWindow() : nullptr;
    id const view = window ? window->getNSView() : id(nil);
    if (view == nil || NSApp == nil)
        return;
    NSPoint const middle{widget.getAbsPos().x + widget.getSize().x / 2.0,
                         widget.getAbsPos().y + widget.getSize().y / 2.0};
    NSPoint const at = platform::objc::send<NSPoint>(view, "convertPoint:toView:", middle, id(nil));
    id const nsWindow = platform::objc::send<id>(view, "window");
    for (NSEventType const type : {NSEventTypeMouseMoved, NSEventTypeLeftMouseDown, NSEventTypeLeftMouseUp})
        sendMouseEvent(type, nsWindow, at);
}

void StateProbe::answerNextAlert(std::string const& label)
{
    platform::AlertAnswers::add(label);
}

} // namespace CV
