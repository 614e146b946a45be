#include "WidgetStyleCaches.h"

namespace CV::TOV::DETAIL {

// No style sheet is loaded in this library yet, so no sheet keeps entries
// per widget.

void forgetWidgetInEverySheet(Widget const&) {}

void forgetWidgetInGoverningSheet(Widget const&) {}

void rebuildDrawingCache(Widget const&) {}

void eraseDrawingCache(Widget const&) {}

} // namespace CV::TOV::DETAIL
