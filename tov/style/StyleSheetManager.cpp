#include "TOV/StyleSheetManager.h"

#include "TOV/ManagerContainer.h"

namespace CV::TOV {

// Four lines, each padded with spaces before its line end.
char const* const StyleSheetManager::s_builtInSheet =
    " * { background-color:rgb(192, 192, 192); background-border-color:rgb(128, 128, 128);  "
    "foreground-color:rgb(0, 0, 0); }   \n"
    "*:down { background-color:rgb(176, 176, 176); }                    \n"
    "*:over { background-color:rgb(208, 208, 208); }                    \n"
    "Bar { background-color:rgb(32, 32, 32); /*margin:2; spacing:2;*/ }                    \n";

StyleSheetManager::StyleSheetManager(ManagerContainer& container)
    : m_container(container)
{
    m_sheets.emplace_back(std::string(), StyleSheet(container));
    m_sheets.front().second.createDirect(s_builtInSheet);
}

StyleSheetManager& StyleSheetManager::get()
{
    return ManagerContainer::get()->getStyleSheetManager();
}

void StyleSheetManager::loadDefault(std::string const& name)
{
    auto& entry = m_sheets.front();
    if (entry.first == name)
        return;
    entry.first = name;
    entry.second.load(name);
}

} // namespace CV::TOV
