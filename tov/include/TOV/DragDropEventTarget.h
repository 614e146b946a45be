#pragma once
// The drop-target side of every widget. It answers drag requests, drops and
// leave notices through lists of drop handlers; in this application no
// widget installs one, so every request is declined. The handler lists and
// the event routing join this class with the framework's event targets.
#include "TOV/Forward.h"

namespace CV::TOV {

class DragDropEventTarget {
public:
    DragDropEventTarget() = default;
    virtual ~DragDropEventTarget();
};

} // namespace CV::TOV
