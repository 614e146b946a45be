#pragma once
// The style sheets of the process; the first is the default sheet that every
// widget looks up, built from a small built-in text until the application's
// own sheet is loaded.
#include "TOV/DrawingCache.h"
#include "TOV/StyleSheet.h"

#include <list>
#include <map>
#include <string>
#include <utility>

namespace CV::TOV {

class StyleSheetManager {
public:
    explicit StyleSheetManager(ManagerContainer& container);

    // The manager of the library's resource manager, which must exist.
    static StyleSheetManager& get();

    // Gives the default sheet the application's sheet and loads it once;
    // when that fails the sheet keeps its rules.
    void loadDefault(std::string const& name);

    StyleSheet& getDefaultSheet() { return m_sheets.front().second; }
    std::list<std::pair<std::string, StyleSheet>>& getSheets() { return m_sheets; }

    // The widget's drawing cache, made (empty) on first request; its address
    // stays valid until the widget is erased.
    DrawingCache& getDrawingCache(Widget const& widget);
    void eraseDrawingCache(Widget const& widget);

    // The built-in rules of the default sheet.
    static char const* const s_builtInSheet;

private:
    ManagerContainer& m_container;
    std::list<std::pair<std::string, StyleSheet>> m_sheets;
    std::map<Widget const*, DrawingCache> m_drawingCaches;
};

} // namespace CV::TOV
