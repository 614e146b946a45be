#include "platform/appkit/NSView.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSGraphicsContext.h"
#include "platform/appkit/NSImage.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSTextInputClient.h"
#include "platform/backend/Backend.h"
#include "platform/cf/CFArray.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/TextInputSources.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/peer/Flip.h"

#include <algorithm>
#include <cmath>

namespace platform::appkit {

namespace {

const char* const kState = "_view";

struct ViewState {
    NSRect frame{};
    id superview = nil;
    std::vector<id> subviews; // retained
    id window = nil;
    bool hidden = false;
    unsigned long autoresizingMask = 0;
    bool autoresizesSubviews = true;
    bool postsFrameChanges = true;
    bool postsBoundsChanges = true;
    std::vector<id> trackingAreas; // retained
    std::vector<std::string> draggedTypes;
};

ViewState& state(id view)
{
    return *stateOf<ViewState>(view, kState);
}

bool flipped(id view)
{
    return view != nil && objc::send<BOOL>(view, "isFlipped") != NO;
}

NSRect normalised(NSPoint a, NSPoint b)
{
    return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y));
}

// One step up or down the tree: a point in the view's own coordinates and
// the same point in its superview's (the window's for the content view).
NSPoint toSuper(id view, NSPoint p)
{
    const ViewState& s = state(view);
    const double h = s.frame.size.height;
    const double upFromBottom = flipped(view) ? peer::flipY(p.y, h) : p.y;
    if (flipped(s.superview))
        return NSMakePoint(s.frame.origin.x + p.x, s.frame.origin.y + peer::flipY(upFromBottom, h));
    return NSMakePoint(s.frame.origin.x + p.x, s.frame.origin.y + upFromBottom);
}

NSPoint fromSuper(id view, NSPoint q)
{
    const ViewState& s = state(view);
    const double h = s.frame.size.height;
    const double upFromBottom = flipped(s.superview) ? peer::flipY(q.y - s.frame.origin.y, h) : q.y - s.frame.origin.y;
    return NSMakePoint(q.x - s.frame.origin.x, flipped(view) ? peer::flipY(upFromBottom, h) : upFromBottom);
}

NSRect rectToWindow(id view, NSRect r)
{
    return normalised(viewPointToWindow(view, r.origin),
                      viewPointToWindow(view, NSMakePoint(r.origin.x + r.size.width, r.origin.y + r.size.height)));
}

NSRect rectFromWindow(id view, NSRect r)
{
    return normalised(viewPointFromWindow(view, r.origin),
                      viewPointFromWindow(view, NSMakePoint(r.origin.x + r.size.width, r.origin.y + r.size.height)));
}

double backingScale(id view)
{
    id window = state(view).window;
    return window ? objc::send<double>(window, "backingScaleFactor") : 1.0;
}

void postChange(id view, const char* name)
{
    NotificationCenter::defaultCenter().postNow(name, view, nullptr);
}

id initWithFrame(id self, SEL, NSRect frame)
{
    self = objc::sendSuper<id>(self, NSViewClass(), objc::selector("init"));
    if (self) {
        objc::ivar<void*>(self, kState) = new ViewState;
        state(self).frame = frame;
    }
    return self;
}

id initView(id self, SEL)
{
    return objc::send<id>(self, "initWithFrame:", NSMakeRect(0, 0, 0, 0));
}

void deallocView(id self, SEL sel)
{
    if (ViewState* s = stateOf<ViewState>(self, kState)) {
        // Subviews that live on (retained elsewhere) leave the tree.
        for (id sub : s->subviews) {
            state(sub).superview = nil;
            if (objc::send<id>(sub, "nextResponder") == self)
                objc::send<void>(sub, "setNextResponder:", id(nil));
            setViewWindow(sub, nil);
            objc::NSObject::release(sub);
        }
        for (id area : s->trackingAreas)
            objc::NSObject::release(area);
        delete s;
        objc::ivar<void*>(self, kState) = nullptr;
    }
    objc::sendSuper<void>(self, NSViewClass(), sel);
}

NSRect frame(id self, SEL)
{
    return state(self).frame;
}
NSRect bounds(id self, SEL)
{
    return NSMakeRect(0, 0, state(self).frame.size.width, state(self).frame.size.height);
}

void resizeSubviews(id self, NSSize old)
{
    const ViewState& s = state(self);
    if (!s.autoresizesSubviews)
        return;
    const double dw = s.frame.size.width - old.width, dh = s.frame.size.height - old.height;
    for (id sub : std::vector<id>(s.subviews)) {
        const unsigned long mask = state(sub).autoresizingMask;
        NSRect f = state(sub).frame;
        if (mask & NSViewWidthSizable)
            f.size.width += dw;
        else if (mask & NSViewMinXMargin)
            f.origin.x += dw;
        if (mask & NSViewHeightSizable)
            f.size.height += dh;
        else if (mask & NSViewMinYMargin)
            f.origin.y += dh;
        if (f.origin.x != state(sub).frame.origin.x || f.origin.y != state(sub).frame.origin.y)
            objc::send<void>(sub, "setFrameOrigin:", f.origin);
        if (f.size.width != state(sub).frame.size.width || f.size.height != state(sub).frame.size.height)
            objc::send<void>(sub, "setFrameSize:", f.size);
    }
}

void setFrameSize(id self, SEL, NSSize size)
{
    ViewState& s = state(self);
    const NSSize old = s.frame.size;
    if (old.width == size.width && old.height == size.height)
        return;
    s.frame.size = size;
    resizeSubviews(self, old);
    // The bounds follow the frame: only the frame's change is announced.
    if (s.postsFrameChanges)
        postChange(self, "NSViewFrameDidChangeNotification");
}

void setFrameOrigin(id self, SEL, NSPoint origin)
{
    ViewState& s = state(self);
    if (s.frame.origin.x == origin.x && s.frame.origin.y == origin.y)
        return;
    s.frame.origin = origin;
    if (s.postsFrameChanges)
        postChange(self, "NSViewFrameDidChangeNotification");
}

void setFrame(id self, SEL, NSRect frame)
{
    objc::send<void>(self, "setFrameOrigin:", frame.origin);
    objc::send<void>(self, "setFrameSize:", frame.size);
}

id superview(id self, SEL)
{
    return state(self).superview;
}
id window(id self, SEL)
{
    return state(self).window;
}

void addSubview(id self, SEL, id sub)
{
    if (sub == nil || sub == self)
        return;
    objc::NSObject::retain(sub);
    objc::send<void>(sub, "removeFromSuperview");
    state(self).subviews.push_back(sub);
    state(sub).superview = self;
    objc::send<void>(sub, "setNextResponder:", self);
    setViewWindow(sub, state(self).window);
    objc::send<void>(sub, "setNeedsDisplay:", BOOL(YES));
}

void removeFromSuperview(id self, SEL)
{
    ViewState& s = state(self);
    if (s.superview == nil)
        return;
    objc::send<void>(self, "setNeedsDisplay:", BOOL(YES));
    std::vector<id>& siblings = state(s.superview).subviews;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    s.superview = nil;
    objc::send<void>(self, "setNextResponder:", id(nil));
    setViewWindow(self, nil);
    objc::NSObject::release(self);
}

BOOL no(id, SEL)
{
    return NO;
}
BOOL yes(id, SEL)
{
    return YES;
}
BOOL noForEvent(id, SEL, id)
{
    return NO;
}
BOOL isHidden(id self, SEL)
{
    return state(self).hidden ? YES : NO;
}

void setHidden(id self, SEL, BOOL hidden)
{
    objc::send<void>(self, "setNeedsDisplay:", BOOL(YES));
    state(self).hidden = hidden != NO;
}

// A region of the view, as its rectangles, reaches the window in one call.
void setNeedsDisplayInRects(id self, SEL, const NSRect* rects, unsigned long count)
{
    id window = state(self).window;
    if (!window)
        return;
    std::vector<NSRect> inWindow;
    inWindow.reserve(count);
    for (unsigned long i = 0; i < count; ++i)
        inWindow.push_back(rectToWindow(self, rects[i]));
    objc::send<void>(window, "_invalidateContentRects:count:", static_cast<const NSRect*>(inWindow.data()),
                     static_cast<unsigned long>(inWindow.size()));
}

void setNeedsDisplayInRect(id self, SEL, NSRect rect)
{
    setNeedsDisplayInRects(self, nullptr, &rect, 1);
}

void setNeedsDisplay(id self, SEL, BOOL needed)
{
    if (needed)
        objc::send<void>(self, "setNeedsDisplayInRect:", bounds(self, nullptr));
}

BOOL needsDisplay(id self, SEL)
{
    id window = state(self).window;
    return window && objc::send<BOOL>(window, "viewsNeedDisplay") ? YES : NO;
}

void display(id self, SEL)
{
    if (id window = state(self).window)
        objc::send<void>(window, "display");
}

void displayIfNeeded(id self, SEL)
{
    if (id window = state(self).window)
        objc::send<void>(window, "displayIfNeeded");
}

void drawRect(id, SEL, NSRect) { }
void nothing(id, SEL) { }

id hitTest(id self, SEL, NSPoint inSuper)
{
    const ViewState& s = state(self);
    if (s.hidden)
        return nil;
    const NSPoint local = fromSuper(self, inSuper);
    if (!(local.x >= 0 && local.y >= 0 && local.x < s.frame.size.width && local.y < s.frame.size.height))
        return nil;
    for (auto it = s.subviews.rbegin(); it != s.subviews.rend(); ++it)
        if (id hit = objc::send<id>(*it, "hitTest:", local))
            return hit;
    return self;
}

NSPoint convertPointFromView(id self, SEL, NSPoint p, id other)
{
    return viewPointFromWindow(self, other ? viewPointToWindow(other, p) : p);
}

NSPoint convertPointToView(id self, SEL, NSPoint p, id other)
{
    const NSPoint inWindow = viewPointToWindow(self, p);
    return other ? viewPointFromWindow(other, inWindow) : inWindow;
}

NSRect convertRectFromView(id self, SEL, NSRect r, id other)
{
    return rectFromWindow(self, other ? rectToWindow(other, r) : r);
}

NSRect convertRectToView(id self, SEL, NSRect r, id other)
{
    const NSRect inWindow = rectToWindow(self, r);
    return other ? rectFromWindow(other, inWindow) : inWindow;
}

NSSize convertSizeToBacking(id self, SEL, NSSize size)
{
    const double scale = backingScale(self);
    return NSMakeSize(size.width * scale, size.height * scale);
}

NSRect convertRectToBacking(id self, SEL, NSRect r)
{
    const double scale = backingScale(self);
    return NSMakeRect(r.origin.x * scale, r.origin.y * scale, r.size.width * scale, r.size.height * scale);
}

void setAutoresizingMask(id self, SEL, unsigned long mask)
{
    state(self).autoresizingMask = mask;
}
unsigned long autoresizingMask(id self, SEL)
{
    return state(self).autoresizingMask;
}
void setAutoresizesSubviews(id self, SEL, BOOL on)
{
    state(self).autoresizesSubviews = on != NO;
}
void setPostsFrameChanges(id self, SEL, BOOL on)
{
    state(self).postsFrameChanges = on != NO;
}
void setPostsBoundsChanges(id self, SEL, BOOL on)
{
    state(self).postsBoundsChanges = on != NO;
}

void addTrackingArea(id self, SEL, id area)
{
    if (area)
        state(self).trackingAreas.push_back(objc::NSObject::retain(area));
}

void removeTrackingArea(id self, SEL, id area)
{
    std::vector<id>& areas = state(self).trackingAreas;
    auto it = std::find(areas.begin(), areas.end(), area);
    if (it == areas.end())
        return;
    areas.erase(it);
    objc::NSObject::release(area);
}

// Types come as a CFArray of CFStrings (NSArray on the platform).
void registerForDraggedTypes(id self, SEL, CFArrayRef types)
{
    for (CFIndex i = 0; types && i < CFArrayGetCount(types); ++i) {
        const std::string type = utf8(CFArrayGetValueAtIndex(types, i));
        std::vector<std::string>& known = state(self).draggedTypes;
        if (std::find(known.begin(), known.end(), type) == known.end())
            known.push_back(type);
    }
}

void unregisterDraggedTypes(id self, SEL)
{
    state(self).draggedTypes.clear();
}
id inputContext(id, SEL)
{
    return nil;
}

// The standard key bindings of text views: a key with exactly the listed
// modifiers (of Shift, Control, Option and Command) gives the command.
struct KeyBinding {
    unsigned short keyCode;
    std::uint64_t modifiers;
    const char* command;
};

constexpr std::uint64_t kShift = keyboard::kModifierShift, kControl = keyboard::kModifierControl,
                        kOption = keyboard::kModifierOption, kCommand = keyboard::kModifierCommand;
constexpr std::uint64_t kBindingModifiers = kShift | kControl | kOption | kCommand;

constexpr KeyBinding kKeyBindings[] = {
    {123, 0, "moveLeft:"},
    {123, kShift, "moveLeftAndModifySelection:"},
    {123, kCommand, "moveToLeftEndOfLine:"},
    {123, kCommand | kShift, "moveToLeftEndOfLineAndModifySelection:"},
    {124, 0, "moveRight:"},
    {124, kShift, "moveRightAndModifySelection:"},
    {124, kCommand, "moveToRightEndOfLine:"},
    {124, kCommand | kShift, "moveToRightEndOfLineAndModifySelection:"},
    {125, 0, "moveDown:"},
    {125, kShift, "moveDownAndModifySelection:"},
    {126, 0, "moveUp:"},
    {126, kShift, "moveUpAndModifySelection:"},
    {115, 0, "moveToBeginningOfDocument:"},
    {119, 0, "moveToEndOfDocument:"},
    {116, 0, "pageUp:"},
    {121, 0, "pageDown:"},
    {51, 0, "deleteBackward:"},
    {51, kShift, "deleteBackward:"},
    {117, 0, "deleteForward:"},
    {36, 0, "insertNewline:"},
    {36, kShift, "insertNewline:"},
    {76, 0, "insertNewline:"},
    {76, kShift, "insertNewline:"},
    {48, 0, "insertTab:"},
    {48, kShift, "insertBacktab:"},
    {53, 0, "cancelOperation:"},
};

const char* commandFor(unsigned short keyCode, std::uint64_t modifiers)
{
    for (const KeyBinding& binding : kKeyBindings)
        if (binding.keyCode == keyCode && binding.modifiers == (modifiers & kBindingModifiers))
            return binding.command;
    return nullptr;
}

// The accent of a dead key of the current keyboard layout, as text; empty
// for any other key.
std::string deadKeyAccentOf(unsigned short keyCode, std::uint64_t modifiers)
{
    TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    if (source == nullptr)
        return {};
    const UCKeyboardLayout* layout =
        keyboard::KeyLayoutData::layoutOf(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
    std::string accent;
    if (layout != nullptr) {
        const keyboard::KeyboardLayout::KeyText key = layout->translate(keyCode, std::uint32_t(modifiers));
        if (key.deadKeyAccent != 0)
            accent = cf::String(key.text, false).utf8();
    }
    CFRelease(source);
    return accent;
}

void insertText(id self, const std::string& characters)
{
    NSString* text = makeString(characters);
    if (responds(self, "insertText:replacementRange:"))
        objc::send<void>(self, "insertText:replacementRange:", reinterpret_cast<id>(text), NSRange{NSNotFound, 0});
    else if (responds(self, "insertText:"))
        objc::send<void>(self, "insertText:", reinterpret_cast<id>(text));
    CFRelease(text);
}

// A dead key shows its accent as marked text with the caret after it; the
// next key's characters (composed by the layout) are committed over it.
void markDeadKey(id self, const std::string& accent)
{
    NSString* text = makeString(accent);
    objc::send<void>(self, "setMarkedText:selectedRange:replacementRange:", reinterpret_cast<id>(text),
                     NSRange{NSUInteger(CFStringGetLength(text)), 0}, NSRange{NSNotFound, 0});
    CFRelease(text);
}

// Whether a key's characters are text: not a control character nor one of
// the function-key characters (U+F700-U+F8FF, three bytes EF 9C 80 to
// EF A3 BF in UTF-8).
bool typesText(const std::string& characters)
{
    const auto first = static_cast<unsigned char>(characters[0]);
    if (first < 0x20 || first == 0x7F)
        return false;
    if (first == 0xEF && characters.size() >= 2) {
        const auto second = static_cast<unsigned char>(characters[1]);
        return second < 0x9C || second > 0xA3;
    }
    return true;
}

// The input system for one key down: a bound command, the accent of a
// dead key for a text-input client, or the key's characters (none with
// Control or Command held).
void interpretKeyEvents(id self, SEL, id event)
{
    if (event == nil)
        return;
    const EventRecord& record = eventRecord(event);
    if (record.type != NSEventTypeKeyDown)
        return;
    if (const char* command = commandFor(record.keyCode, record.modifierFlags)) {
        objc::send<void>(self, "doCommandBySelector:", objc::selector(command));
        return;
    }
    if (record.modifierFlags & (kControl | kCommand))
        return;
    if (record.characters.empty()) {
        if (isTextInputClient(self)) {
            const std::string accent = deadKeyAccentOf(record.keyCode, record.modifierFlags);
            if (!accent.empty())
                markDeadKey(self, accent);
        }
        return;
    }
    if (typesText(record.characters))
        insertText(self, record.characters);
}

// Starts a drag of the pasteboard's data through the backend; the source
// learns the outcome through draggedImage:endedAt:operation:.
void dragImage(id self, SEL, id image, NSPoint at, NSSize, id, id pasteboard, id source, BOOL)
{
    peer::CursorImage picture;
    if (image)
        picture.pixels = imagePixels(image, picture.width, picture.height);
    const std::string name = pasteboard ? utf8(objc::send<NSString*>(pasteboard, "name")) : std::string();
    const unsigned long allowed = responds(source, "draggingSourceOperationMaskForLocal:")
        ? objc::send<unsigned long>(source, "draggingSourceOperationMaskForLocal:", BOOL(YES))
        : 0;
    id window = state(self).window;
    NSPoint onScreen = viewPointToWindow(self, at);
    if (window)
        onScreen = objc::send<NSPoint>(window, "convertPointToScreen:", onScreen);
    const peer::Point topDown = peer::toTopDown(onScreen, firstScreenHeight());
    objc::NSObject::retain(image);
    objc::NSObject::retain(source);
    Backend::current().dragSession().begin(name, picture, topDown, unsigned(allowed),
                                           [image, source](peer::Point end, unsigned operation) {
                                               if (responds(source, "draggedImage:endedAt:operation:")) {
                                                   const NSPoint bottomUp = peer::toBottomUp(end, firstScreenHeight());
                                                   objc::send<void>(source, "draggedImage:endedAt:operation:", image,
                                                                    bottomUp, static_cast<unsigned long>(operation));
                                               }
                                               objc::NSObject::release(source);
                                               objc::NSObject::release(image);
                                           });
}

Class registerClass()
{
    return objc::StandInClass("NSView", NSResponderClass())
        .ivar<void*>(kState)
        .method("initWithFrame:", &initWithFrame)
        .method("init", &initView)
        .method("dealloc", &deallocView)
        .method("frame", &frame)
        .method("bounds", &bounds)
        .method("setFrame:", &setFrame)
        .method("setFrameSize:", &setFrameSize)
        .method("setFrameOrigin:", &setFrameOrigin)
        .method("superview", &superview)
        .method("addSubview:", &addSubview)
        .method("removeFromSuperview", &removeFromSuperview)
        .method("window", &window)
        .method("isFlipped", &no)
        .method("isHidden", &isHidden)
        .method("setHidden:", &setHidden)
        .method("isOpaque", &no)
        .method("wantsDefaultClipping", &yes)
        .method("acceptsFirstMouse:", &noForEvent)
        .method("setNeedsDisplay:", &setNeedsDisplay)
        .method("setNeedsDisplayInRect:", &setNeedsDisplayInRect)
        .method("_setNeedsDisplayInRects:count:", &setNeedsDisplayInRects)
        .method("needsDisplay", &needsDisplay)
        .method("display", &display)
        .method("displayIfNeeded", &displayIfNeeded)
        .method("drawRect:", &drawRect)
        .method("hitTest:", &hitTest)
        .method("convertPoint:fromView:", &convertPointFromView)
        .method("convertPoint:toView:", &convertPointToView)
        .method("convertRect:fromView:", &convertRectFromView)
        .method("convertRect:toView:", &convertRectToView)
        .method("convertSizeToBacking:", &convertSizeToBacking)
        .method("convertRectToBacking:", &convertRectToBacking)
        .method("setAutoresizingMask:", &setAutoresizingMask)
        .method("autoresizingMask", &autoresizingMask)
        .method("setAutoresizesSubviews:", &setAutoresizesSubviews)
        .method("setPostsFrameChangedNotifications:", &setPostsFrameChanges)
        .method("setPostsBoundsChangedNotifications:", &setPostsBoundsChanges)
        .method("addTrackingArea:", &addTrackingArea)
        .method("removeTrackingArea:", &removeTrackingArea)
        .method("registerForDraggedTypes:", &registerForDraggedTypes)
        .method("unregisterDraggedTypes", &unregisterDraggedTypes)
        .method("viewDidChangeBackingProperties", &nothing)
        .method("inputContext", &inputContext)
        .method("interpretKeyEvents:", &interpretKeyEvents)
        .method("dragImage:at:offset:event:pasteboard:source:slideBack:", &dragImage)
        .registerClass();
}

} // namespace

Class NSViewClass()
{
    static Class s_class = registerClass();
    return s_class;
}

void setViewWindow(id view, id window)
{
    forEachView(view, [window](id v) { state(v).window = window; });
}

id viewWindow(id view)
{
    return view ? state(view).window : nil;
}

NSPoint viewPointToWindow(id view, NSPoint point)
{
    for (id v = view; v != nil; v = state(v).superview)
        point = toSuper(v, point);
    return point;
}

NSPoint viewPointFromWindow(id view, NSPoint point)
{
    std::vector<id> chain;
    for (id v = view; v != nil; v = state(v).superview)
        chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        point = fromSuper(*it, point);
    return point;
}

NSRect viewRectToWindow(id view, NSRect rect)
{
    return rectToWindow(view, rect);
}

std::vector<id> viewSubviews(id view)
{
    return state(view).subviews;
}

const std::vector<id>& viewTrackingAreas(id view)
{
    return state(view).trackingAreas;
}

const std::vector<std::string>& viewDraggedTypes(id view)
{
    return state(view).draggedTypes;
}

void forEachView(id view, const std::function<void(id)>& action)
{
    if (view == nil)
        return;
    action(view);
    for (id sub : std::vector<id>(state(view).subviews))
        forEachView(sub, action);
}

void displayView(id view, CGContextRef context, NSRect dirty)
{
    const ViewState& s = state(view);
    if (s.hidden)
        return;
    const NSRect inWindow = rectToWindow(view, NSMakeRect(0, 0, s.frame.size.width, s.frame.size.height));
    const NSRect area = CGRectIntersection(inWindow, dirty);
    if (CGRectIsEmpty(area))
        return;
    const bool isFlipped = flipped(view);
    CGContextSaveGState(context);
    // The view's own coordinates: its bottom-left (top-left when flipped)
    // in the window.
    CGContextTranslateCTM(context, inWindow.origin.x, isFlipped ? CGRectGetMaxY(inWindow) : inWindow.origin.y);
    if (isFlipped)
        CGContextScaleCTM(context, 1, -1);
    const NSRect local = rectFromWindow(view, area);
    CGContextClipToRect(context, local);
    pushGraphicsContext(context, isFlipped);
    objc::send<void>(view, "drawRect:", local);
    popGraphicsContext();
    CGContextRestoreGState(context);
    for (id sub : std::vector<id>(s.subviews))
        displayView(sub, context, area);
}

} // namespace platform::appkit
