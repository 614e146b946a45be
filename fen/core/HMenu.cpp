#include "FEN/HMenu.h"

#include "FEN/COCOA/Menu.h"
#include "FEN/COCOA/MenuItem.h"
#include "FEN/KeyCodes.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

namespace CV {
namespace FEN {

namespace objc = platform::objc;

std::map<uint32_t, int32_t> HMenu::s_mapCommandShortcuts;
bool HMenu::s_bInit = false;

namespace {

constexpr int32_t kCommandQuit = 0x71756974; // 'quit'
constexpr int32_t kCommandAbout = 0x61626F75; // 'abou'
constexpr int32_t kCommandPrefs = 0x70726566; // 'pref'
constexpr unsigned kCommandQ = eKeyModifierCommand | 'Q';
constexpr unsigned kCommandComma = eKeyModifierCommand | ',';
constexpr long kPreferencesPosition = 2;

long itemCount(id menu)
{
    return objc::send<long>(menu, "numberOfItems");
}

int endIfNegative(int index, id menu)
{
    return index < 0 ? static_cast<int>(itemCount(menu)) : index;
}

void setTitle(id object, BAS::CharSequence<char> const& title)
{
    CFStringRef text = COCOA::Menu::makeTitleString(title);
    objc::send<void>(object, "setTitle:", text);
    CFRelease(text);
}

void insertItem(id menu, id item, long index)
{
    objc::send<void>(menu, "insertItem:atIndex:", item, index);
    objc::NSObject::release(item);
}

void setKeyEquivalent(id item, COCOA::Menu::KeyEquivalent const& key)
{
    CFStringRef text =
        CFStringCreateWithCharacters(kCFAllocatorDefault, key.character.data(), CFIndex(key.character.size()));
    objc::send<void>(item, "setKeyEquivalent:", text);
    objc::send<void>(item, "setKeyEquivalentModifierMask:", static_cast<unsigned long>(key.modifierMask));
    CFRelease(text);
}

void insertPreferences(BAS::CharSequence<char> const& title)
{
    id appMenu = HMenuBar::getApplicationMenu().getPlatformMenu();
    if (appMenu == nil)
        return;
    id separator = objc::NSObject::retain(objc::send<id>(objc_lookUpClass("NSMenuItem"), "separatorItem"));
    insertItem(appMenu, separator, kPreferencesPosition);
    id item = COCOA::MenuItem::create();
    setTitle(item, title);
    static const char16_t comma = u',';
    CFStringRef key = CFStringCreateWithCharacters(kCFAllocatorDefault, &comma, 1);
    objc::send<void>(item, "setKeyEquivalent:", key);
    CFRelease(key);
    objc::send<void>(item, "setTag:", long(kCommandPrefs));
    insertItem(appMenu, item, kPreferencesPosition + 1);
}

} // namespace

HMenu::~HMenu() = default;
HMenuBar::~HMenuBar() = default;
HPopupMenu::~HPopupMenu() = default;

int HMenu::insertCommandAt(int index, BAS::CharSequence<char> const& title, int command, unsigned flags,
                           unsigned shortcut)
{
    if (m_menu == nil)
        return -1;
    index = endIfNegative(index, m_menu);
    if (command == kCommandQuit || command == kCommandAbout) {
        s_mapCommandShortcuts[kCommandQ] = kCommandQuit;
        return index;
    }
    if (command == kCommandPrefs) {
        insertPreferences(title);
        s_mapCommandShortcuts[kCommandComma] = kCommandPrefs;
        return index;
    }
    id item = COCOA::MenuItem::create();
    setTitle(item, title);
    objc::send<void>(item, "setTag:", long(command));
    objc::send<void>(item, "setEnabled:", BOOL((flags & eDisabled) ? NO : YES));
    objc::send<void>(item, "setState:", long((flags & eChecked) ? 1 : 0));
    if (shortcut != 0) {
        setKeyEquivalent(item, COCOA::Menu::keyEquivalentOf(shortcut));
        s_mapCommandShortcuts[shortcut] = command;
    }
    insertItem(m_menu, item, index);
    return index;
}

int HMenu::insertSubMenuAt(int index, BAS::CharSequence<char> const& title, HPopupMenu const& menu)
{
    id popup = menu.getPlatformMenu();
    if (m_menu == nil || popup == nil || itemCount(popup) == 0)
        return -1;
    index = endIfNegative(index, m_menu);
    id item = COCOA::MenuItem::create();
    setTitle(item, title);
    setTitle(popup, title);
    objc::send<void>(item, "setSubmenu:", popup);
    insertItem(m_menu, item, index);
    return index;
}

bool HMenu::getItemEnabledId(int command) const
{
    id item = objc::send<id>(m_menu, "itemWithTag:", long(command));
    return item != nil && objc::send<BOOL>(item, "isEnabled");
}

void HPopupMenu::create(int)
{
    m_menu = COCOA::Menu::create(nullptr);
}

} // namespace FEN
} // namespace CV
