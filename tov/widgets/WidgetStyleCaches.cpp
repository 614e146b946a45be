#include "WidgetStyleCaches.h"

#include "TOV/Algorithm.h"
#include "TOV/DrawingCache.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleSheet.h"
#include "TOV/StyleSheetManager.h"

namespace CV::TOV::DETAIL {

namespace {

// The manager lives from the library's start-up to its shut-down; widgets
// may outlive it.
StyleSheetManager* manager()
{
    ManagerContainer* container = ManagerContainer::get();
    return container ? &container->getStyleSheetManager() : nullptr;
}

} // namespace

void forgetWidgetInEverySheet(Widget const& widget)
{
    if (StyleSheetManager* m = manager())
        for (auto const& entry : m->getSheets())
            entry.second.forgetWidget(widget);
}

void forgetWidgetInGoverningSheet(Widget const& widget)
{
    if (StyleSheet const* sheet = Algorithm::governingSheet(widget))
        sheet->forgetWidget(widget);
}

void rebuildDrawingCache(Widget const& widget)
{
    if (StyleSheetManager* m = manager())
        m->getDrawingCache(widget).rebuildCache();
}

void eraseDrawingCache(Widget const& widget)
{
    if (StyleSheetManager* m = manager())
        m->eraseDrawingCache(widget);
}

} // namespace CV::TOV::DETAIL
