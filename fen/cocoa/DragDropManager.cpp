#include "FEN/DragDropManager.h"

#include "BAS/Application.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/ClipBoardFormat.h"
#include "FEN/DETAIL/CGImageProvider.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"
#include "FEN/ExchangeData.h"
#include "FEN/Picture.h"
#include "FEN/WindowBase.h"
#include "platform/backend/Backend.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>
#include <chrono>

namespace CV {
namespace FEN {

namespace objc = platform::objc;

EventTarget* DragDropManager::s_pCurrentDragTarget = nullptr;
int32_t DragDropManager::s_eCurrentDropEffect = 0;
EventTarget* DragDropManager::s_pResultReceiver = nullptr;
bool DragDropManager::s_bIsDragInProgress = false;
DragDropManager::DragViewDataProvider DragDropManager::s_pfnGetDragViewData = nullptr;

namespace {

constexpr int32_t kEffectBits = 0x7FFFFFFF;
constexpr uint32_t kObserverOnly = 0x80000000u;
// The longest a drag started here may run before it counts as failed.
constexpr std::chrono::minutes kLongestDrag{10};

// Bumped whenever a drag started here ends.
unsigned g_finishedDrags = 0;

id platformWindowOf(WindowBase* window)
{
    if (window == nullptr)
        return nil;
    auto* impl = dynamic_cast<COCOA::WindowImplBase*>(window->getImpl());
    return impl != nullptr ? impl->getNativeWindow() : nil;
}

// The internal payload's source window, when the drag holds one.
bool internalSourceWindow(DragDropRequestEventData const& data, WindowBase*& window)
{
    InternalClipBoardFormat internal;
    if (!data.getFormat(internal))
        return false;
    window = internal.m_pWindow;
    return true;
}

void addObservers(std::vector<EventTarget*> const& targets)
{
    std::vector<EventTarget*>& observers = DragDropManager::observerReceivers();
    for (EventTarget* target : targets) {
        if (target == nullptr)
            continue;
        auto at = std::lower_bound(observers.begin(), observers.end(), target);
        if (at == observers.end() || *at != target)
            observers.insert(at, target);
    }
}

// The outline drawn under the pointer when the caller gives no picture.
void makeDefaultDragPicture(Picture& picture)
{
    picture.setSize(16, 8, true);
    picture.setAlphaChannel(true);
    picture.clear(0);
    picture.drawLineH(1, 0, 14, 0xFFFFFFFF);
    picture.drawLineH(1, 7, 14, 0xFFFFFFFF);
    picture.drawLineV(0, 1, 6, 0xFFFFFFFF);
    picture.drawLineV(15, 1, 6, 0xFFFFFFFF);
}

id pasteboardObject(PasteboardRef pasteboard)
{
    CFStringRef name = nullptr;
    if (PasteboardCopyName(pasteboard, &name) != noErr || name == nullptr)
        return nil;
    id object = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSPasteboard"), "pasteboardWithName:", name);
    CFRelease(name);
    return object;
}

} // namespace

std::vector<EventTarget*>& DragDropManager::observerReceivers()
{
    // Never destroyed: targets that outlive static destruction may still
    // tell the manager they go.
    static auto* s_observers = new std::vector<EventTarget*>();
    return *s_observers;
}

void DragDropManager::sendToObservers(unsigned code, EventData* data)
{
    // An observer may go away while it is told: walk a copy, skipping
    // the ones that went.
    const std::vector<EventTarget*> observers = observerReceivers();
    for (EventTarget* observer : observers)
        if (std::binary_search(observerReceivers().begin(), observerReceivers().end(), observer))
            observer->sendObserverEvent(code, data);
}

bool DragDropManager::handleDragRequestEvent(WindowBase* window, DragDropRequestEventData* data, EventTarget* target)
{
    EventTarget* previous = s_pCurrentDragTarget;
    s_pCurrentDragTarget = nullptr;
    s_eCurrentDropEffect = 0;
    bool result = false;
    WindowBase* sourceWindow = nullptr;
    const bool foreignInternal = data != nullptr && internalSourceWindow(*data, sourceWindow) &&
        sourceWindow != nullptr && platformWindowOf(sourceWindow) != platformWindowOf(window);
    if (!foreignInternal && data != nullptr) {
        if (target != nullptr)
            result = target->sendEvent(eDragDropEvent::DragRequest, data);
        sendToObservers(eDragDropEvent::DragRequest, data);
        if (result) {
            if (data->acceptingTarget != nullptr) {
                s_pCurrentDragTarget = data->acceptingTarget;
                s_eCurrentDropEffect = data->dropEffect & kEffectBits;
            } else if (uint32_t(data->dropEffect) == kObserverOnly && !data->observers.empty()) {
                s_pCurrentDragTarget = data->observers.front();
                s_eCurrentDropEffect = 0;
            }
        }
    }
    if (previous != nullptr && previous != s_pCurrentDragTarget) {
        DragDropLeavedEventData leave;
        previous->sendEvent(eDragDropEvent::DragLeave, &leave);
    }
    if (data != nullptr)
        addObservers(data->observers);
    return result;
}

bool DragDropManager::handleDragReceiveEvent(DragDropReceiveEventData* data)
{
    EventTarget* target = s_pCurrentDragTarget;
    s_pCurrentDragTarget = nullptr;
    bool result = false;
    if (target != nullptr && data != nullptr) {
        data->dropEffect = s_eCurrentDropEffect;
        if (s_eCurrentDropEffect != 0) {
            result = target->sendEvent(eDragDropEvent::DragDrop, data);
            sendToObservers(eDragDropEvent::DragDrop, data);
        }
        DragDropLeavedEventData leave;
        target->sendEvent(eDragDropEvent::DragLeave, &leave);
        sendToObservers(eDragDropEvent::DragLeave, &leave);
    }
    s_eCurrentDropEffect = 0;
    observerReceivers().clear();
    return result;
}

bool DragDropManager::handleDragLeavedEvent(DragDropLeavedEventData* data)
{
    EventTarget* target = s_pCurrentDragTarget;
    s_pCurrentDragTarget = nullptr;
    s_eCurrentDropEffect = 0;
    DragDropLeavedEventData empty;
    DragDropLeavedEventData* leave = data != nullptr ? data : &empty;
    const bool result = target != nullptr && target->sendEvent(eDragDropEvent::DragLeave, leave);
    sendToObservers(eDragDropEvent::DragLeave, leave);
    observerReceivers().clear();
    return result;
}

bool DragDropManager::handleDragFinishedEvent(DragDropSupport::DropResult result)
{
    ++g_finishedDrags;
    bool handled = false;
    if (s_pResultReceiver != nullptr) {
        DragDropResultEventData finished;
        finished.result = result;
        handled = s_pResultReceiver->sendEvent(eDragDropEvent::DragFinished, &finished);
        sendToObservers(eDragDropEvent::DragFinished, &finished);
    }
    s_pResultReceiver = nullptr;
    observerReceivers().clear();
    return handled;
}

unsigned DragDropManager::registerFormat(const char* name)
{
    static std::map<std::string, unsigned> s_Identifiers;
    static unsigned s_Counter = 0;
    static bool s_bSeeded = false;
    if (!s_bSeeded) {
        s_Counter = BAS::Application::s_appSignature;
        s_bSeeded = true;
    }
    const std::string key = name != nullptr ? name : "";
    auto found = s_Identifiers.find(key);
    if (found != s_Identifiers.end())
        return found->second;
    s_Identifiers.emplace(key, ++s_Counter);
    return s_Counter;
}

void DragDropManager::DoDragWithCallback(EventTarget* receiver, ClipBoardFormat const& format, unsigned allowed,
                                         DragDropSupport::DragImage const* image)
{
    s_pResultReceiver = receiver;
    ExchangeData data(format, false);
    DoDragWithCallback(data, allowed, image);
}

void DragDropManager::DoDragWithCallback(ExchangeData& data, unsigned allowed, DragDropSupport::DragImage const* image)
{
    DragViewData* view = nullptr;
    if (!data.isValid() || s_pfnGetDragViewData == nullptr || !s_pfnGetDragViewData(view) || view == nullptr ||
        view->view == nil) {
        handleDragFinishedEvent(DragDropSupport::eDropResultOther);
        return;
    }
    view->sourceOperationMask = DragDropSupport::operationMaskFromEffects(allowed, view->allowedEffectCount);
    id pasteboard = pasteboardObject(data.getPasteboard());

    Picture defaultPicture;
    Picture const* picture = image != nullptr ? image->picture : nullptr;
    if (picture == nullptr) {
        makeDefaultDragPicture(defaultPicture);
        picture = &defaultPicture;
    }
    id nsImage = DETAIL::createNSImageFromPicture(*picture, true);
    NSPoint at = NSMakePoint(view->x, view->y + picture->getHeight());
    if (image != nullptr) {
        at.x -= image->hotSpot.x;
        at.y -= image->hotSpot.y;
    }

    const unsigned finishedBefore = g_finishedDrags;
    s_bIsDragInProgress = true;
    objc::NSObject::retain(view->view);
    id source = view->view;
    objc::send<void>(source, "dragImage:at:offset:event:pasteboard:source:slideBack:", nsImage, at, NSMakeSize(0, 0),
                     view->event, pasteboard, source, BOOL(NO));
    objc::NSObject::release(nsImage);
    // The desktop runs drags asynchronously: wait here, with the pasteboard
    // alive, until the drag reports its end or stops without a report.
    auto& session = platform::Backend::current().dragSession();
    auto ended = [&] { return g_finishedDrags != finishedBefore || !session.isDragging(); };
    platform::MainLoop::instance().runUntil(ended, kLongestDrag, platform::RunLoopMode::EventTracking);
    s_bIsDragInProgress = false;
    objc::NSObject::release(source);
    if (g_finishedDrags == finishedBefore)
        handleDragFinishedEvent(DragDropSupport::eDropResultOther);
}

void DragDropManager::forgetTarget(EventTarget const* target)
{
    if (target == nullptr)
        return;
    if (s_pCurrentDragTarget == target) {
        s_pCurrentDragTarget = nullptr;
        s_eCurrentDropEffect = 0;
    }
    if (s_pResultReceiver == target)
        s_pResultReceiver = nullptr;
    std::vector<EventTarget*>& observers = observerReceivers();
    observers.erase(std::remove(observers.begin(), observers.end(), target), observers.end());
}

void DragDropManager::resetDragState()
{
    s_pCurrentDragTarget = nullptr;
    s_eCurrentDropEffect = 0;
    observerReceivers().clear();
}

DragDropSupport::DropResult DragDropSupport::dropResultFromOperation(unsigned long operation)
{
    switch (operation) {
    case 0: return eDropResultNone;
    case 1: return eDropResultCopy;
    case 2: return eDropResultLink;
    case 4: return eDropResultGeneric;
    case 16: return eDropResultMove;
    case 32: return eDropResultDelete;
    default: return eDropResultOther;
    }
}

int32_t DragDropSupport::effectsFromOperationMask(uint64_t mask)
{
    int32_t effects = 0;
    if (mask & 1)
        effects |= eDropEffectCopy;
    if (mask & 16)
        effects |= eDropEffectMove;
    if (mask & 2)
        effects |= eDropEffectLink;
    return effects;
}

unsigned long DragDropSupport::operationFromEffect(int32_t effect)
{
    switch (effect) {
    case eDropEffectCopy: return 1;
    case eDropEffectMove: return 16;
    case eDropEffectLink: return 2;
    default: return 0;
    }
}

uint64_t DragDropSupport::operationMaskFromEffects(unsigned effects, int32_t& count)
{
    uint64_t mask = 0;
    count = 0;
    if (effects & eDropEffectCopy) {
        mask |= 1;
        ++count;
    }
    if (effects & eDropEffectMove) {
        mask |= 16;
        ++count;
    }
    if (effects & eDropEffectLink) {
        mask |= 2;
        ++count;
    }
    return mask;
}

} // namespace FEN
} // namespace CV
