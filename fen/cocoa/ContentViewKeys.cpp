// The keyboard half of the content view: key events, the text-input client
// methods, editing commands and key shortcuts.
#include "FEN/COCOA/ContentView.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "BAS/StringCF.h"
#include "FEN/Application.h"
#include "FEN/CLI.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/DETAIL/Keys.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/KeyCodes.h"
#include "FEN/TextInputBase.h"
#include "FEN/WindowBase.h"
#include "platform/appkit/NSApplication.h"
#include "platform/cf/CFArray.h"
#include "platform/cf/CFString.h"
#include "platform/cf/NSRange.h"
#include "platform/cg/CGGeometry.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/peer/Flip.h"

#include <cctype>
#include <map>
#include <string>

namespace CV {
namespace FEN {
namespace COCOA {

std::set<int32_t> ContentView::s_setLastCommands;

namespace {

namespace objc = platform::objc;

// The platform's event types of key events.
enum : unsigned long { kEventKeyDown = 10, kEventKeyUp = 11, kEventFlagsChanged = 12 };

constexpr uint32_t kQuitCommand = 0x71756974; // 'quit'

// The platform's function-key characters and the key codes they give.
struct FunctionKey {
    char16_t character;
    uint32_t code;
};

constexpr FunctionKey kFunctionKeys[] = {
    {0xF700, eKeyUp},     {0xF701, eKeyDown},     {0xF702, eKeyLeft},  {0xF703, eKeyRight},
    {0xF727, eKeyInsert}, {0xF728, eKeyDelete},   {0xF729, eKeyHome},  {0xF72B, eKeyEnd},
    {0xF72C, eKeyPageUp}, {0xF72D, eKeyPageDown}, {0xF739, eKeyClear},
};

// Control characters of key events and the key codes they give.
uint32_t controlCharacterCode(char16_t character)
{
    switch (character) {
    case 8:
    case 127: return eKeyBackspace;
    case 9:
    case 25: return eKeyTab;
    case 13: return eKeyReturn;
    case 27: return eKeyEscape;
    default: return 0;
    }
}

uint32_t functionKeyCode(char16_t character)
{
    if (character >= 0xF704 && character <= 0xF70F)
        return eKeyF1 + (character - 0xF704);
    for (FunctionKey const& key : kFunctionKeys)
        if (key.character == character)
            return key.code;
    return 0;
}

uint32_t modifiersOf(id event)
{
    return DETAIL::Keys::macOSModifiersToFEN(uint32_t(objc::send<uint64_t>(event, "modifierFlags")));
}

unsigned keyCodeOf(id event)
{
    return objc::send<unsigned short>(event, "keyCode");
}

bool isRepeat(id event)
{
    return objc::send<BOOL>(event, "isARepeat") != NO;
}

// The code part and the scan code from the key tables alone (no modifier
// bits); both 0 for a key code above the tables.
uint32_t tableKeyOf(id event, uint32_t& scan)
{
    scan = 0;
    unsigned const keyCode = keyCodeOf(event);
    if (keyCode > 255)
        return 0;
    unsigned tableScan = 0;
    uint32_t const key = DETAIL::Keys::macOSToFEN(keyCode, tableScan);
    scan = tableScan;
    return key;
}

bool isKnownKey(uint32_t key, uint32_t scan)
{
    return (key & eKeyCodeMask) != 0 || scan != 0;
}

// The key word and scan code of a key event, and whether they come from
// its character.
struct EventKey {
    uint32_t key = 0;
    uint32_t scan = 0;
    bool fromCharacter = false;

    bool known() const { return isKnownKey(key, scan); }
};

// Without a character to go by (a dead key) the key tables' key alone,
// without modifier bits.
EventKey keyOf(id event)
{
    EventKey key;
    key.key = ContentView::convertKeyEventToFEN(event, &key.scan);
    key.fromCharacter = key.known();
    if (!key.fromCharacter)
        key.key = tableKeyOf(event, key.scan);
    return key;
}

void clearFlags(ContentView::TextInputState& state)
{
    state.textHandled = false;
    state.shortcutHandled = false;
}

TextInputBase* clientOf(WindowImplBase* impl)
{
    return impl != nullptr ? impl->getWindow().getTextInputClient() : nullptr;
}

bool hasMarkedText(TextInputBase* client)
{
    return client != nullptr && client->getMarkedRange().length != 0;
}

NSRange toPlatform(TextRange const& range)
{
    // The location widened with its sign: -1 becomes all bits set.
    return NSRange{NSUInteger(int64_t(range.location)), NSUInteger(range.length)};
}

ContentView::TextInputState* stateOf(id view)
{
    return ContentView::textInputStateOf(view);
}

void setTextHandled(id view, bool handled)
{
    if (ContentView::TextInputState* state = stateOf(view))
        state->textHandled = handled;
}

bool sendKey(WindowImplBase* impl, unsigned code, EventKey const& key, bool notRepeat)
{
    KeyEventData data;
    data.key = key.key;
    data.scanCode = key.scan;
    data.notRepeat = notRepeat;
    return impl->sendEvent(code, &data, true);
}

void sendModifiersChanged(WindowImplBase* impl, id event)
{
    ModifiersEventData data;
    data.modifiers = modifiersOf(event);
    data.virtualKeyCode = keyCodeOf(event);
    impl->sendEvent(eKeyEvent::ModifiersChanged, &data, true);
}

void passToNextResponder(id self, const char* selectorName, id event)
{
    objc::send<void>(objc::send<id>(self, "nextResponder"), selectorName, event);
}

// Keeps a view (and so its key-input state) alive while a key handler may
// close its window.
class RetainedView {
public:
    explicit RetainedView(id view)
        : m_view(objc::send<id>(view, "retain"))
    {
    }
    ~RetainedView() { objc::send<void>(m_view, "release"); }
    RetainedView(RetainedView const&) = delete;
    RetainedView& operator=(RetainedView const&) = delete;

private:
    id m_view;
};

// The key down being processed: raises the depth for its lifetime.
class KeyDownScope {
public:
    explicit KeyDownScope(ContentView::TextInputState& state)
        : m_state(state)
    {
        ++m_state.depth;
    }
    ~KeyDownScope() { --m_state.depth; }
    KeyDownScope(KeyDownScope const&) = delete;
    KeyDownScope& operator=(KeyDownScope const&) = delete;

private:
    ContentView::TextInputState& m_state;
};

void storeEvent(ContentView::TextInputState& state, id event)
{
    if (event != nil)
        objc::send<id>(event, "retain");
    if (state.event != nil)
        objc::send<void>(state.event, "release");
    state.event = event;
}

// The editing commands of the text-input system, by selector name.
std::map<std::string, KeyCommandEventData> const& editingCommands()
{
    static std::map<std::string, KeyCommandEventData> const s_collCommands = [] {
        struct Entry {
            const char* selector;
            int32_t command;
            int32_t extendSelection;
        };
        Entry const entries[] = {
            {"moveLeft:", 0, 0},
            {"moveLeftAndModifySelection:", 0, 1},
            {"moveRight:", 1, 0},
            {"moveRightAndModifySelection:", 1, 1},
            {"moveUp:", 2, 0},
            {"moveUpAndModifySelection:", 2, 1},
            {"moveDown:", 3, 0},
            {"moveDownAndModifySelection:", 3, 1},
            {"moveToLeftEndOfLine:", 4, 0},
            {"moveToLeftEndOfLineAndModifySelection:", 4, 1},
            {"moveToRightEndOfLine:", 5, 0},
            {"moveToRightEndOfLineAndModifySelection:", 5, 1},
            {"deleteForward:", 8, 0},
            {"deleteBackward:", 9, 0},
        };
        std::map<std::string, KeyCommandEventData> table;
        for (Entry const& entry : entries) {
            KeyCommandEventData data;
            data.command = entry.command;
            data.extendSelection = entry.extendSelection;
            table.emplace(entry.selector, data);
        }
        return table;
    }();
    return s_collCommands;
}

// The system's own shortcuts with Command: select all, hide, minimise and
// close; true when the key was one of them.
bool performSystemShortcut(id view, WindowImplBase* impl, uint32_t key)
{
    id window = impl->getNativeWindow();
    if (!(key & eKeyModifierCommand) || window == nil)
        return false;
    switch (key & eKeyCodeMask) {
    case 'A':
        objc::send<void>(objc::send<id>(view, "inputContext"), "discardMarkedText");
        if (TextInputBase* client = clientOf(impl))
            client->selectAll();
        return true;
    case 'H':
        objc::send<void>(NSApp, (key & eKeyModifierShift) ? "hideOtherApplications:" : "hide:", view);
        return true;
    case 'M': objc::send<void>(window, "performMiniaturize:", view); return true;
    case 'W': objc::send<void>(window, "performClose:", view); return true;
    default: return false;
    }
}

// Offers the accelerator command of the stored key to the main menu, else
// to the window; false when there is none or nobody took it.
bool executeAccelerator(ContentView::TextInputState& state, WindowImplBase* impl, int32_t command)
{
    if (ContentView::s_setLastCommands.count(command) != 0) {
        // The command is running already (its menu item sent the key back).
        state.shortcutHandled = true;
        return true;
    }
    ContentView::s_setLastCommands.insert(command);
    id mainMenu = objc::send<id>(NSApp, "mainMenu");
    if (mainMenu != nil && objc::send<BOOL>(mainMenu, "performKeyEquivalent:", state.event)) {
        state.shortcutHandled = true;
    } else {
        CommandEventData data(command);
        if (impl->sendEvent(eCommandEvent::CommandExecute, &data, true))
            state.shortcutHandled = true;
    }
    ContentView::s_setLastCommands.erase(command);
    return state.shortcutHandled;
}

// The text of a string argument; the stand-in's strings are plain strings.
std::string textOf(id string)
{
    return BAS::StringCF(reinterpret_cast<CFStringRef>(string)).str();
}

// ---- methods of the run-time class ----

void viewKeyDown(id self, SEL, id event)
{
    RetainedView const alive(self);
    if (!ContentView::handleKeyDown(self, event))
        passToNextResponder(self, "keyDown:", event);
}

void viewKeyUp(id self, SEL, id event)
{
    RetainedView const alive(self);
    if (!ContentView::handleKeyUp(self, event))
        passToNextResponder(self, "keyUp:", event);
}

void viewFlagsChanged(id self, SEL, id event)
{
    if (WindowImplBase* impl = ContentView::implOf(self))
        sendModifiersChanged(impl, event);
    passToNextResponder(self, "flagsChanged:", event);
}

BOOL viewPerformKeyEquivalent(id self, SEL, id event)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr)
        return NO;
    switch (objc::send<unsigned long>(event, "type")) {
    case kEventKeyDown: return ContentView::handleKeyDown(self, event) ? YES : NO;
    case kEventKeyUp: return ContentView::handleKeyUp(self, event) ? YES : NO;
    case kEventFlagsChanged: sendModifiersChanged(impl, event); return NO;
    default: return NO;
    }
}

BOOL viewHasMarkedText(id self, SEL)
{
    return hasMarkedText(clientOf(ContentView::implOf(self))) ? YES : NO;
}

NSRange viewMarkedRange(id self, SEL)
{
    TextInputBase* client = clientOf(ContentView::implOf(self));
    return toPlatform(client != nullptr ? client->getMarkedRange() : TextRange());
}

NSRange viewSelectedRange(id self, SEL)
{
    TextInputBase* client = clientOf(ContentView::implOf(self));
    return toPlatform(client != nullptr ? client->getSelectedRange() : TextRange());
}

void viewSetMarkedText(id self, SEL, id string, NSRange selected, NSRange)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr || string == nil)
        return;
    MarkedTextEventData data;
    data.text = textOf(string);
    data.caret = selected.location + selected.length;
    setTextHandled(self, impl->sendEvent(eKeyEvent::MarkedText, &data, true));
}

void viewUnmarkText(id self, SEL)
{
    if (TextInputBase* client = clientOf(ContentView::implOf(self)))
        client->setMarkedRange(TextRange());
}

CFArrayRef viewValidAttributesForMarkedText(id, SEL)
{
    static CFArrayRef const s_none = CFArrayCreate(nullptr, nullptr, 0, &kCFTypeArrayCallBacks);
    return s_none;
}

id viewAttributedSubstring(id, SEL, NSRange, NSRange*)
{
    static CFStringRef const s_empty = CFStringCreateWithCharacters(nullptr, nullptr, 0);
    return reinterpret_cast<id>(const_cast<platform::cf::String*>(s_empty));
}

void viewInsertText(id self, SEL, id string, NSRange)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr || string == nil)
        return;
    TextEventData data;
    data.text = textOf(string);
    if (data.text.empty())
        return;
    setTextHandled(self, impl->sendEvent(eKeyEvent::TextInput, &data, true));
}

NSUInteger viewCharacterIndexForPoint(id, SEL, NSPoint)
{
    return 0;
}

// The first screen's frame; zero without screens.
NSRect firstScreenFrame()
{
    CFArrayRef screens = objc::send<CFArrayRef>(platform::objc::ObjectRuntime::lookUpClass("NSScreen"), "screens");
    id first = reinterpret_cast<id>(const_cast<void*>(CFArrayGetValueAtIndex(screens, 0)));
    return first != nil ? objc::send<NSRect>(first, "frame") : NSRect{};
}

NSRect viewFirstRectForCharacterRange(id self, SEL, NSRange range, NSRange*)
{
    TextInputBase* client = clientOf(ContentView::implOf(self));
    if (client == nullptr)
        return NSRect{};
    TextRange asked;
    asked.location = int32_t(range.location);
    asked.length = int64_t(range.length);
    BAS::Rect const r = client->getFirstRectForRange(asked);
    NSRect const screen = firstScreenFrame();
    float const height = float(r.bottom - r.top);
    double const y = platform::peer::flipSpan(r.top, height, screen.origin.y + screen.size.height);
    return NSMakeRect(r.left, y, r.right - r.left, height);
}

void viewDoCommandBySelector(id self, SEL, SEL selector)
{
    auto const& commands = editingCommands();
    WindowImplBase* impl = ContentView::implOf(self);
    if (clientOf(impl) != nullptr) {
        auto const it = commands.find(sel_getName(selector));
        if (it != commands.end()) {
            KeyCommandEventData data = it->second;
            if (impl->sendEvent(eKeyEvent::TextCommand, &data, true)) {
                setTextHandled(self, true);
                return;
            }
        }
    }
    setTextHandled(self, ContentView::handleKeyShortcut(self));
}

} // namespace

ContentView::TextInputState* ContentView::textInputStateOf(id view)
{
    return reinterpret_cast<TextInputState*>(BAS::OBJC::getIvarPtr(view, "pTextInputState"));
}

void ContentView::createTextInputState(id view)
{
    deleteTextInputState(view);
    BAS::OBJC::setIvarPtr(view, "pTextInputState", reinterpret_cast<id>(new TextInputState));
}

void ContentView::deleteTextInputState(id view)
{
    TextInputState* state = textInputStateOf(view);
    if (state == nullptr)
        return;
    storeEvent(*state, nil);
    delete state;
    BAS::OBJC::setIvarPtr(view, "pTextInputState", nil);
}

uint32_t ContentView::convertKeyEventToFEN(id event, uint32_t* scan)
{
    uint32_t scanCode = 0;
    uint32_t code = 0;
    CFStringRef characters = objc::send<CFStringRef>(event, "charactersIgnoringModifiers");
    if (CFStringGetLength(characters) == 1) {
        UniChar character = 0;
        CFStringGetCharacters(characters, CFRangeMake(0, 1), &character);
        if ((code = functionKeyCode(character)) != 0 || (code = controlCharacterCode(character)) != 0) {
            scanCode = code;
        } else {
            code = tableKeyOf(event, scanCode);
            if (code == 0 && keyCodeOf(event) <= 255 && character <= 127)
                code = uint32_t(std::toupper(character));
        }
        code |= modifiersOf(event);
    }
    if (scan != nullptr)
        *scan = scanCode;
    return code;
}

bool ContentView::handleKeyDown(id view, id event)
{
    TextInputState* state = textInputStateOf(view);
    if (state == nullptr || state->depth > 0)
        return false;
    RetainedView const alive(view);
    KeyDownScope const scope(*state);
    storeEvent(*state, event);
    // Each key starts afresh: a key pressed while another is held must not
    // inherit the first one's answers.
    clearFlags(*state);

    WindowImplBase* impl = implOf(view);
    if (impl == nullptr)
        return false;
    EventKey const key = keyOf(event);
    state->key = key.key;
    bool const notRepeat = !isRepeat(event);
    if (!key.fromCharacter)
        return key.known() && sendKey(impl, eKeyEvent::KeyDown, key, notRepeat);

    if (!hasMarkedText(clientOf(impl)) && sendKey(impl, eKeyEvent::KeyDown, key, notRepeat))
        return true;
    objc::send<void>(view, "interpretKeyEvents:", event);
    if (state->textHandled || handleKeyShortcut(view)) {
        state->shortcutHandled = false;
        return true;
    }
    return false;
}

bool ContentView::handleKeyUp(id view, id event)
{
    if (TextInputState* state = textInputStateOf(view)) {
        storeEvent(*state, nil);
        state->key = 0;
        clearFlags(*state);
    }
    WindowImplBase* impl = implOf(view);
    if (impl == nullptr)
        return false;
    EventKey const key = keyOf(event);
    return key.known() && sendKey(impl, eKeyEvent::KeyUp, key, true);
}

bool ContentView::handleKeyShortcut(id view)
{
    TextInputState* state = textInputStateOf(view);
    if (state == nullptr)
        return false;
    if (state->shortcutHandled)
        return true;
    WindowImplBase* impl = implOf(view);
    if (impl == nullptr || *AppTarget::instance() != 1 || state->event == nil || isRepeat(state->event))
        return state->shortcutHandled;

    RetainedView const alive(view);
    Application* application = Application::getApplication();
    int32_t const command = application != nullptr ? application->getAcceleratorManager().getCommand(state->key) : 0;
    if (command > 0 && uint32_t(command) != kQuitCommand && executeAccelerator(*state, impl, command))
        return true;
    // The command may have closed the window.
    impl = implOf(view);
    if (impl != nullptr && performSystemShortcut(view, impl, state->key))
        state->shortcutHandled = true;
    return state->shortcutHandled;
}

void ContentView::addKeyboardMethods(BAS::OBJC::ClassFactory& factory)
{
    factory.addProtocol("NSTextInputClient");
    struct Handler {
        const char* name;
        void (*function)(id, SEL, id);
    };
    for (Handler const& h : {Handler{"keyDown:", &viewKeyDown}, Handler{"keyUp:", &viewKeyUp},
                             Handler{"flagsChanged:", &viewFlagsChanged}})
        factory.addMethod(objc::selector(h.name), objc::toIMP(h.function), "v@:@");
    factory.addMethod(objc::selector("performKeyEquivalent:"), objc::toIMP(&viewPerformKeyEquivalent), "C@:@");
    factory.addMethod(objc::selector("hasMarkedText"), objc::toIMP(&viewHasMarkedText), "C@:");
    factory.addMethod(objc::selector("markedRange"), objc::toIMP(&viewMarkedRange), "{_NSRange=QQ}@:");
    factory.addMethod(objc::selector("selectedRange"), objc::toIMP(&viewSelectedRange), "{_NSRange=QQ}@:");
    factory.addMethod(objc::selector("setMarkedText:selectedRange:replacementRange:"), objc::toIMP(&viewSetMarkedText),
                      "v@:@{_NSRange=QQ}{_NSRange=QQ}");
    factory.addMethod(objc::selector("unmarkText"), objc::toIMP(&viewUnmarkText), "v@:");
    factory.addMethod(objc::selector("validAttributesForMarkedText"), objc::toIMP(&viewValidAttributesForMarkedText),
                      "^v@:");
    factory.addMethod(objc::selector("attributedSubstringForProposedRange:actualRange:"),
                      objc::toIMP(&viewAttributedSubstring), "@@:{_NSRange=QQ}^{_NSRange=QQ}");
    factory.addMethod(objc::selector("insertText:replacementRange:"), objc::toIMP(&viewInsertText),
                      "v@:@{_NSRange=QQ}");
    factory.addMethod(objc::selector("characterIndexForPoint:"), objc::toIMP(&viewCharacterIndexForPoint),
                      "Q@:{CGPoint=dd}");
    factory.addMethod(objc::selector("firstRectForCharacterRange:actualRange:"),
                      objc::toIMP(&viewFirstRectForCharacterRange),
                      "{CGRect={CGPoint=dd}{CGSize=dd}}@:{_NSRange=QQ}^{_NSRange=QQ}");
    factory.addMethod(objc::selector("doCommandBySelector:"), objc::toIMP(&viewDoCommandBySelector), "v@::");
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
