#include "TOV/DragDropEventTarget.h"

#include "FEN/DragDropSupport.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/IDragDropDelegate.h"

namespace CV::TOV {

DragDropEventTarget::DropHandler::DropHandler(std::function<void()> leave)
    : m_fnLeave(std::move(leave))
{
}

DragDropEventTarget::DropHandler::~DropHandler() = default;

bool DragDropEventTarget::DropHandler::drop(FEN::EventData*)
{
    return false;
}

void DragDropEventTarget::DropHandler::leave() const
{
    if (m_fnLeave)
        m_fnLeave();
}

DragDropEventTarget::RequestDropHandler::RequestDropHandler(Accept accept, std::function<void()> leave)
    : DropHandler(std::move(leave))
    , m_fnAccept(std::move(accept))
{
}

bool DragDropEventTarget::RequestDropHandler::accept(FEN::DragDropRequestEventData* request) const
{
    return m_fnAccept && m_fnAccept(request);
}

DragDropEventTarget::FormatDropHandler::FormatDropHandler(uint32_t formatId, Accept accept, std::function<void()> leave)
    : DropHandler(std::move(leave))
    , m_uFormatId(formatId)
    , m_fnAccept(std::move(accept))
{
}

bool DragDropEventTarget::FormatDropHandler::accept(FEN::DragDropRequestEventData* request,
                                                    FEN::DragDropData* data) const
{
    return m_fnAccept && m_fnAccept(request, data);
}

DragDropEventTarget::~DragDropEventTarget() = default;

void DragDropEventTarget::addDropHandler(std::shared_ptr<RequestDropHandler> handler)
{
    if (handler)
        m_lstHandlers.push_back(std::move(handler));
}

void DragDropEventTarget::addFormatDropHandler(std::shared_ptr<FormatDropHandler> handler)
{
    if (handler)
        m_lstFormatHandlers.push_back(std::move(handler));
}

void DragDropEventTarget::addLeaveObserver(std::shared_ptr<DropHandler> handler)
{
    if (handler)
        m_lstLeaveObservers.push_back(std::move(handler));
}

bool DragDropEventTarget::onEvent(unsigned code, FEN::EventData* data)
{
    switch (code) {
    case FEN::eDragDropEvent::DragRequest: return dispatchRequest(static_cast<FEN::DragDropRequestEventData*>(data));
    case FEN::eDragDropEvent::DragDrop: return m_pCurrent != nullptr && m_pCurrent->drop(data);
    case FEN::eDragDropEvent::DragLeave: {
        if (m_pCurrent == nullptr)
            return false;
        DropHandler* const current = m_pCurrent;
        m_pCurrent = nullptr;
        current->leave();
        return true;
    }
    default: return FEN::EventTarget::onEvent(code, data);
    }
}

void DragDropEventTarget::onObserverEvent(unsigned code, FEN::EventData* data)
{
    if (code == FEN::eDragDropEvent::DragLeave) {
        // A leave function may add observers: walk a copy.
        auto const observers = m_lstLeaveObservers;
        for (auto const& observer : observers)
            observer->leave();
    }
    FEN::EventTarget::onObserverEvent(code, data);
}

bool DragDropEventTarget::dispatchRequest(FEN::DragDropRequestEventData* request)
{
    m_pCurrent = nullptr;
    if (request == nullptr)
        return false;
    if (dispatchToFormatHandlers(request))
        return true;
    for (auto const& handler : m_lstHandlers) {
        if (handler->accept(request)) {
            makeCurrent(handler.get(), request);
            return true;
        }
    }
    return false;
}

bool DragDropEventTarget::dispatchToFormatHandlers(FEN::DragDropRequestEventData* request)
{
    if (m_lstFormatHandlers.empty())
        return false;
    FEN::DragDropData const* internal = FEN::DNDDelegate::getInternalDragDropData(*request);
    if (internal == nullptr)
        return false;
    auto* data = const_cast<FEN::DragDropData*>(internal);
    for (auto const& handler : m_lstFormatHandlers) {
        if (handler->getFormatId() == data->getFormatId() && handler->accept(request, data)) {
            makeCurrent(handler.get(), request);
            return true;
        }
    }
    return false;
}

// The drop and the leave notice that follow come to this target.
void DragDropEventTarget::makeCurrent(DropHandler* handler, FEN::DragDropRequestEventData* request)
{
    m_pCurrent = handler;
    if (request->acceptingTarget == nullptr)
        request->acceptingTarget = this;
}

} // namespace CV::TOV
