#pragma once
// The widget's side of the style sheets' per-widget caches: rule lists per
// property, and the drawing cache.
#include "TOV/Forward.h"

namespace CV::TOV::DETAIL {

// Drops the widget's rule lists in every style sheet of the manager.
void forgetWidgetInEverySheet(Widget const& widget);
// Drops the widget's rule lists in the sheet that governs its pane.
void forgetWidgetInGoverningSheet(Widget const& widget);
// Refills the widget's drawing cache from the governing sheet.
void rebuildDrawingCache(Widget const& widget);
// Erases the widget's drawing cache; safe after the manager has gone.
void eraseDrawingCache(Widget const& widget);

} // namespace CV::TOV::DETAIL
