#include "FEN/IDragDropDelegate.h"

namespace CV {
namespace FEN {

namespace {

class NOPDragDropDelegate : public IDragDropDelegate {
};

class WindowingDragDropDelegate : public IDragDropDelegate {
};

std::unique_ptr<IDragDropDelegate> gDragDropDelegate = std::make_unique<NOPDragDropDelegate>();

} // namespace

void setDragDropDelegate(std::unique_ptr<IDragDropDelegate> delegate)
{
    gDragDropDelegate = delegate ? std::move(delegate) : std::make_unique<NOPDragDropDelegate>();
}

IDragDropDelegate* getDragDropDelegate()
{
    return gDragDropDelegate.get();
}

std::unique_ptr<IDragDropDelegate> makeWindowingDragDropDelegate()
{
    return std::make_unique<WindowingDragDropDelegate>();
}

} // namespace FEN
} // namespace CV
