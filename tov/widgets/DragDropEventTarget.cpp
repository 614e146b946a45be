#include "TOV/DragDropEventTarget.h"

namespace CV::TOV {

DragDropEventTarget::~DragDropEventTarget() = default;

} // namespace CV::TOV
