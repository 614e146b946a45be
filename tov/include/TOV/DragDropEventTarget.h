#pragma once
// The drop-target side of every widget, an event target of the framework.
// Drag requests are offered to drop handlers: first, when the drag carries
// this process's data, to the handlers of that data's format, then to the
// handlers that decide on the request alone. The handler that accepts
// becomes current; the drop and the leave notice that follow go to it.
// Handlers stay as long as the widget.
#include <cstdint>
#include <functional>
#include <list>
#include <memory>

#include "FEN/EventTarget.h"
#include "TOV/Forward.h"

namespace CV::FEN {
class DragDropData;
class DragDropRequestEventData;
} // namespace CV::FEN

namespace CV::TOV {

class DragDropEventTarget : public FEN::EventTarget {
public:
    // What every drop handler does once it was accepted: the drop, whose
    // answer is the drop event's handled flag, and the leave function
    // (may be empty).
    class DropHandler {
    public:
        explicit DropHandler(std::function<void()> leave = {});
        virtual ~DropHandler();
        virtual bool drop(FEN::EventData* data);
        void leave() const;

    private:
        std::function<void()> m_fnLeave;
    };

    // Decides on the request alone; an empty accept function declines.
    class RequestDropHandler : public DropHandler {
    public:
        using Accept = std::function<bool(FEN::DragDropRequestEventData*)>;
        explicit RequestDropHandler(Accept accept, std::function<void()> leave = {});
        bool accept(FEN::DragDropRequestEventData* request) const;

    private:
        Accept m_fnAccept;
    };

    // Decides on requests carrying this process's data of one format id.
    class FormatDropHandler : public DropHandler {
    public:
        using Accept = std::function<bool(FEN::DragDropRequestEventData*, FEN::DragDropData*)>;
        FormatDropHandler(uint32_t formatId, Accept accept, std::function<void()> leave = {});
        uint32_t getFormatId() const { return m_uFormatId; }
        bool accept(FEN::DragDropRequestEventData* request, FEN::DragDropData* data) const;

    private:
        uint32_t m_uFormatId;
        Accept m_fnAccept;
    };

    DragDropEventTarget() = default;
    ~DragDropEventTarget() override;

    void addDropHandler(std::shared_ptr<RequestDropHandler> handler);
    void addFormatDropHandler(std::shared_ptr<FormatDropHandler> handler);
    // Hears of every drag that leaves, through its leave function.
    void addLeaveObserver(std::shared_ptr<DropHandler> handler);

    // DragRequest picks a handler; DragDrop and DragLeave go to the current
    // one. Unhandled without one.
    bool onEvent(unsigned code, FEN::EventData* data) override;
    void onObserverEvent(unsigned code, FEN::EventData* data) override;

    DropHandler* getCurrentDropHandler() const { return m_pCurrent; }

private:
    bool dispatchRequest(FEN::DragDropRequestEventData* request);
    bool dispatchToFormatHandlers(FEN::DragDropRequestEventData* request);
    void makeCurrent(DropHandler* handler, FEN::DragDropRequestEventData* request);

    std::list<std::shared_ptr<RequestDropHandler>> m_lstHandlers;
    std::list<std::shared_ptr<FormatDropHandler>> m_lstFormatHandlers;
    std::list<std::shared_ptr<DropHandler>> m_lstLeaveObservers;
    DropHandler* m_pCurrent = nullptr;
};

} // namespace CV::TOV
