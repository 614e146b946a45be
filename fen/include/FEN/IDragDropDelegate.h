#pragma once
// The replaceable interface through which drag events read the dragged
// data and drags are started; one process-wide instance is installed (a
// no-op one until the application installs the windowing delegate).
#include "BAS/FileName.h"
#include "FEN/DragDropSupport.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CV {
namespace FEN {

class ClipBoardFormat;
class ClipBoardFormatHandle;
class DragEventData;
class EventTarget;
class WindowBase;

class IDragDropDelegate {
public:
    virtual ~IDragDropDelegate() = default;
    virtual bool getFormat(DragEventData const& event, ClipBoardFormat& format) const = 0;
    virtual bool containsFormat(DragEventData const& event, ClipBoardFormatHandle const& handle) const = 0;
    // The internal payload when it has the format's id, else null.
    virtual DragDropData const* getFormat(DragEventData const& event, DragDropFormat const& format) const = 0;
    virtual bool containsFormat(DragEventData const& event, DragDropFormat const& format) const = 0;
    // The drag's platform pasteboard.
    virtual const void* getOSHandle(DragEventData const& event) const = 0;
    virtual std::optional<std::vector<BAS::FileName>> getExternalFileList(DragEventData const& event) const = 0;
    virtual std::optional<std::string> getExternalText(DragEventData const& event) const = 0;
    virtual DragDropData const* getInternalDragDropData(DragEventData const& event) const = 0;
    virtual bool isExternalText(DragEventData const& event) const = 0;
    virtual bool isExternalFileList(DragEventData const& event) const = 0;
    virtual unsigned registerDNDFormat(const char* name) const = 0;
    virtual void DoDragText(std::string const& text, DragDropSupport::DropEffect allowed) const = 0;
    virtual void DoDrag(DragDropData const& data, DragDropSupport::DropEffect allowed, WindowBase* window,
                        DragDropSupport::DragImage const* image) const = 0;
    virtual void DoDragWithCallback(EventTarget* receiver, DragDropData const& data,
                                    DragDropSupport::DropEffect allowed, WindowBase* window,
                                    DragDropSupport::DragImage const* image) const = 0;
};

// Installs delegate (a no-op delegate when null), destroying the previous one.
void setDragDropDelegate(std::unique_ptr<IDragDropDelegate> delegate);
IDragDropDelegate* getDragDropDelegate();
// A new delegate for drags between windows.
std::unique_ptr<IDragDropDelegate> makeWindowingDragDropDelegate();

class DNDDelegate {
public:
    static DragDropData const* getInternalDragDropData(DragEventData const& event)
    {
        return getDragDropDelegate()->getInternalDragDropData(event);
    }
};

} // namespace FEN
} // namespace CV
