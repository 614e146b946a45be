#pragma once
// The replaceable interface through which drag events read the dragged
// data and drags are started; one process-wide instance is installed.
#include <memory>

namespace CV {
namespace FEN {

class IDragDropDelegate {
public:
    virtual ~IDragDropDelegate() = default;
};

// Installs delegate (a no-op delegate when null), destroying the previous one.
void setDragDropDelegate(std::unique_ptr<IDragDropDelegate> delegate);
IDragDropDelegate* getDragDropDelegate();
// A new delegate for drags between windows.
std::unique_ptr<IDragDropDelegate> makeWindowingDragDropDelegate();

} // namespace FEN
} // namespace CV
