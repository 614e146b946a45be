#include "updater/app/probe/StateChannel.h"

#include "TOV/Button.h"
#include "TOV/Label.h"
#include "TOV/MultilineLabel.h"
#include "TOV/Widget.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace CV {

namespace {

void appendJsonString(std::string& out, std::string const& text)
{
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

// The text a widget shows, when it is one that shows text.
bool shownText(TOV::Widget const& widget, std::string& text)
{
    if (auto const* label = dynamic_cast<TOV::Label const*>(&widget)) {
        text = label->getText();
        return true;
    }
    if (auto const* button = dynamic_cast<TOV::Button const*>(&widget)) {
        text = button->getText();
        return true;
    }
    if (auto const* lines = dynamic_cast<TOV::DETAIL::MultilineText const*>(&widget)) {
        text = lines->getText();
        return true;
    }
    return false;
}

void describeWidget(std::string& out, TOV::Widget const& widget, std::string const& path, bool shown)
{
    shown = shown && widget.isActive();
    if (out.back() != '[')
        out += ",\n";
    out += "{\"path\":";
    appendJsonString(out, path);
    out += ",\"id\":";
    appendJsonString(out, widget.getId());
    out += ",\"class\":";
    appendJsonString(out, widget.getClass().string());
    out += ",\"style\":";
    appendJsonString(out, widget.getStyle());
    out += ",\"shown\":";
    out += shown ? "true" : "false";
    out += ",\"enabled\":";
    out += widget.isEnabled() ? "true" : "false";
    out += ",\"rect\":[" + std::to_string(widget.getAbsPos().x) + "," + std::to_string(widget.getAbsPos().y) + "," +
        std::to_string(widget.getSize().x) + "," + std::to_string(widget.getSize().y) + "]";
    std::string text;
    if (shownText(widget, text)) {
        out += ",\"text\":";
        appendJsonString(out, text);
    }
    out += ",\"attributes\":{";
    bool first = true;
    for (auto const& [name, value] : widget.getAttributes()) {
        if (!first)
            out += ",";
        first = false;
        appendJsonString(out, name.string());
        out += ":";
        appendJsonString(out, value);
    }
    out += "}}";
    for (auto const& child : widget.getChildren())
        describeWidget(out, *child, path + "/" + child->getId(), shown);
}

} // namespace

std::unique_ptr<StateChannel> StateChannel::fromEnvironment()
{
    const char* path = std::getenv(kEnvironmentVariable);
    if (!path || !*path)
        return nullptr;
    return std::make_unique<StateChannel>(path);
}

StateChannel::StateChannel(std::string path)
    : m_path(std::move(path))
{
}

std::string StateChannel::describe(TOV::Widget const& root, int page, std::vector<unsigned> const& applicationEvents)
{
    std::string out = "{\"page\":" + std::to_string(page) + ",\"widgets\":[";
    describeWidget(out, root, root.getId(), true);
    out += "],\n\"applicationEvents\":[";
    for (std::size_t i = 0; i < applicationEvents.size(); ++i)
        out += (i == 0 ? "" : ",") + std::to_string(applicationEvents[i]);
    out += "]}\n";
    return out;
}

void StateChannel::publish(TOV::Widget const& root, int page, std::vector<unsigned> const& applicationEvents)
{
    std::string text = describe(root, page, applicationEvents);
    if (text == m_lastWritten)
        return;
    if (writeWhole(text))
        m_lastWritten = std::move(text);
}

// Into a fresh file beside the target (never through a link left there),
// then renamed over it.
bool StateChannel::writeWhole(std::string const& text) const
{
    std::string const temporary = m_path + ".tmp";
    ::unlink(temporary.c_str());
    int const fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t const n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            break;
        done += size_t(n);
    }
    bool const complete = ::close(fd) == 0 && done == text.size();
    if (!complete || ::rename(temporary.c_str(), m_path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace CV
