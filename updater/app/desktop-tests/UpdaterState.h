#pragma once
// What the updater's state channel last wrote: the page shown, every
// widget with its path, id, class, style name, visibility, rectangle in
// the window, text and attributes, and the codes of the application events
// the application object received.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace CV::desktop_test {

struct WidgetState {
    std::string path;
    std::string id;
    std::string widgetClass;
    std::string style;
    bool shown = false;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;
    std::map<std::string, std::string> attributes;

    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
};

class UpdaterState {
public:
    // Reads the document in `file`; nothing when it is missing or malformed.
    static std::optional<UpdaterState> read(std::string const& file);
    static std::optional<UpdaterState> parse(std::string const& text);

    int page() const { return m_page; }
    std::vector<WidgetState> const& widgets() const { return m_widgets; }
    std::vector<unsigned> const& applicationEvents() const { return m_applicationEvents; }

    // The first widget with this id whose path ends in `pathSuffix`.
    WidgetState const* find(std::string const& id, std::string const& pathSuffix = {}) const;
    // The text of that widget, or "<missing>".
    std::string textOf(std::string const& id, std::string const& pathSuffix = {}) const;

private:
    int m_page = -1;
    std::vector<WidgetState> m_widgets;
    std::vector<unsigned> m_applicationEvents;
};

} // namespace CV::desktop_test
