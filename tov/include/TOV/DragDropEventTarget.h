#pragma once
// The drop-target side of every widget, an event target of the framework.
// Drag requests, drops and leave notices are answered through lists of drop
// handlers, which the widget window fills in; until then every drag event
// is left unhandled.
#include "FEN/EventTarget.h"
#include "TOV/Forward.h"

namespace CV::TOV {

class DragDropEventTarget : public FEN::EventTarget {
public:
    DragDropEventTarget() = default;
    ~DragDropEventTarget() override;
};

} // namespace CV::TOV
