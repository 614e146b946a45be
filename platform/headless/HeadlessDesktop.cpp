#include "platform/headless/HeadlessDesktop.h"

#include "platform/headless/HeadlessWindow.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace platform::headless {

namespace {

double overlap(const peer::Rect& a, const peer::Rect& b)
{
    const double w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const double h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

} // namespace

HeadlessDesktop::HeadlessDesktop()
{
    const char* variable = std::getenv("VARANTO_HEADLESS_SCREENS");
    std::optional<std::vector<peer::ScreenInfo>> screens =
        variable ? parseScreens(variable) : std::optional<std::vector<peer::ScreenInfo>>();
    m_screens = screens ? *screens : *parseScreens("1920x1080@1");
}

std::optional<std::vector<peer::ScreenInfo>> HeadlessDesktop::parseScreens(const std::string& text)
{
    std::vector<peer::ScreenInfo> screens;
    std::istringstream list(text);
    std::string item;
    double left = 0;
    while (std::getline(list, item, ',')) {
        double width = 0, height = 0, scale = 1;
        char x = 0, at = 0;
        std::istringstream in(item);
        if (!(in >> width >> x >> height) || x != 'x' || width <= 0 || height <= 0)
            return std::nullopt;
        if (in >> at && (at != '@' || !(in >> scale) || scale <= 0))
            return std::nullopt;
        std::string rest;
        if (in >> rest)
            return std::nullopt;
        const peer::Rect frame{left, 0, width, height};
        screens.push_back(peer::ScreenInfo{unsigned(screens.size() + 1), frame, frame, scale});
        left += width;
    }
    if (screens.empty())
        return std::nullopt;
    return screens;
}

void HeadlessDesktop::setScreens(std::vector<peer::ScreenInfo> screens)
{
    m_screens = std::move(screens);
    for (HeadlessWindow* window : m_windows)
        window->screensChanged();
    if (m_reconfigured)
        m_reconfigured();
}

double HeadlessDesktop::scaleFor(const peer::Rect& rect) const
{
    const peer::ScreenInfo* best = m_screens.empty() ? nullptr : &m_screens.front();
    double bestArea = 0;
    for (const peer::ScreenInfo& screen : m_screens) {
        const double area = overlap(screen.frame, rect);
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    return best ? best->scale : 1.0;
}

std::vector<HeadlessWindow*> HeadlessDesktop::windows() const
{
    std::vector<HeadlessWindow*> visible;
    for (HeadlessWindow* window : m_windows)
        if (window->isVisible())
            visible.push_back(window);
    return visible;
}

void HeadlessDesktop::add(HeadlessWindow* window)
{
    m_windows.push_back(window);
}

void HeadlessDesktop::remove(HeadlessWindow* window)
{
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
    if (m_focused == window)
        m_focused = nullptr;
}

void HeadlessDesktop::bringToFront(HeadlessWindow* window)
{
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
    m_windows.insert(m_windows.begin(), window);
}

void HeadlessDesktop::focus(HeadlessWindow* window)
{
    if (m_focused == window)
        return;
    HeadlessWindow* previous = m_focused;
    m_focused = window;
    if (previous)
        previous->focusChanged(false);
    if (window)
        window->focusChanged(true);
}

} // namespace platform::headless
