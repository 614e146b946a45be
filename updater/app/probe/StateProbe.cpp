#include "updater/app/probe/StateProbe.h"

#include "TOV/Widget.h"
#include "platform/appkit/NSApplication.h"
#include "platform/backend/Backend.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/objc/MessageSend.h"
#include "platform/system/SmallFile.h"
#include "updater/app/probe/StateChannel.h"

#include <unistd.h>

#include <chrono>

namespace CV {

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(40);
constexpr std::size_t kLongestCommand = 4096;

platform::headless::HeadlessBackend* headlessBackend()
{
    return dynamic_cast<platform::headless::HeadlessBackend*>(&platform::Backend::current());
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
    m_channel->publish(*root, m_page ? m_page() : -1);
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
    platform::headless::HeadlessBackend* backend = headlessBackend();
    if (!backend || backend->desktop().windows().empty())
        return;
    platform::peer::ViewInputClient* input = backend->desktop().windows().front()->input();
    if (!input)
        return;
    platform::peer::Point const at{widget.getAbsPos().x + widget.getSize().x / 2.0,
                                   widget.getAbsPos().y + widget.getSize().y / 2.0};
    input->mouseMotion(platform::peer::MouseMotionInput{at});
    input->mouseButton(platform::peer::MouseButtonInput{true, platform::peer::kLeftButton, at});
    input->mouseButton(platform::peer::MouseButtonInput{false, platform::peer::kLeftButton, at});
}

void StateProbe::answerNextAlert(std::string const& label)
{
    if (platform::headless::HeadlessBackend* backend = headlessBackend())
        backend->alerts().answers.push_back(label);
}

} // namespace CV
