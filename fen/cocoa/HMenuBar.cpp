#include "FEN/Application.h"
#include "FEN/COCOA/Menu.h"
#include "FEN/COCOA/MenuItem.h"
#include "FEN/HMenu.h"
#include "platform/appkit/NSApplication.h"
#include "platform/cf/CFBundle.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

namespace CV {
namespace FEN {

namespace {

namespace objc = platform::objc;

constexpr long kCommandQuit = 0x71756974; // 'quit'
constexpr long kCommandAbout = 0x61626F75; // 'abou'

// The platform's application object; nil before it exists.
id platformApplication()
{
    return NSApp;
}

// Sends a one-argument message to the application when it understands it.
void tellApplication(const char* selectorName, id argument)
{
    id app = platformApplication();
    SEL sel = objc::selector(selectorName);
    if (app != nil && objc::respondsTo(app, sel))
        objc::send<id>(app, "performSelector:withObject:", sel, argument);
}

CFStringRef makeString(const std::string& text)
{
    return CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8);
}

std::string localised(const char* key)
{
    CFStringRef keyText = makeString(key);
    CFStringRef empty = makeString("");
    CFStringRef text = CFBundleCopyLocalizedString(CFBundleGetMainBundle(), keyText, empty, nullptr);
    std::string result = text ? text->utf8() : key;
    if (text)
        CFRelease(text);
    CFRelease(empty);
    CFRelease(keyText);
    return result;
}

std::string applicationName()
{
    CFStringRef key = makeString("CFBundleName");
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(CFBundleGetMainBundle(), key);
    CFRelease(key);
    const auto* name = platform::cf::String::fromRef(value);
    return name != nullptr && CFGetTypeID(value) == CFStringGetTypeID() ? name->utf8() : std::string();
}

// "<localised verb> <application name>"
std::string withName(const char* key)
{
    return localised(key) + " " + applicationName();
}

void add(id menu, id item)
{
    objc::send<void>(menu, "addItem:", item);
    objc::NSObject::release(item);
}

void addSeparator(id menu)
{
    objc::send<void>(menu, "addItem:", objc::send<id>(objc_lookUpClass("NSMenuItem"), "separatorItem"));
}

id newPlatformItem(const std::string& title, const char* action, const char* key, unsigned long mask)
{
    CFStringRef titleText = makeString(title);
    CFStringRef keyText = makeString(key);
    id item = objc::send<id>(objc::NSObject::alloc(objc_lookUpClass("NSMenuItem")),
                             "initWithTitle:action:keyEquivalent:", titleText,
                             action ? objc::selector(action) : static_cast<SEL>(nullptr), keyText);
    objc::send<void>(item, "setKeyEquivalentModifierMask:", mask);
    CFRelease(keyText);
    CFRelease(titleText);
    return item;
}

id newFrameworkItem(const std::string& title, const char* key, long tag)
{
    id item = COCOA::MenuItem::create();
    CFStringRef titleText = makeString(title);
    CFStringRef keyText = makeString(key);
    objc::send<void>(item, "setTitle:", titleText);
    objc::send<void>(item, "setKeyEquivalent:", keyText);
    objc::send<void>(item, "setTag:", tag);
    CFRelease(keyText);
    CFRelease(titleText);
    return item;
}

id newServicesItem()
{
    id item = newPlatformItem(localised("Services"), nullptr, "", platform::keyboard::kModifierCommand);
    CFStringRef title = makeString("Services");
    id services = objc::send<id>(objc::NSObject::alloc(objc_lookUpClass("NSMenu")), "initWithTitle:", title);
    CFRelease(title);
    objc::send<void>(item, "setSubmenu:", services);
    tellApplication("setServicesMenu:", services);
    objc::NSObject::release(services);
    return item;
}

id buildApplicationMenu()
{
    using platform::keyboard::kModifierCommand;
    using platform::keyboard::kModifierOption;
    id menu = COCOA::Menu::create(nullptr);
    CFStringRef title = makeString("Apple");
    objc::send<void>(menu, "setTitle:", title);
    CFRelease(title);

    add(menu, newFrameworkItem(withName("About"), "", kCommandAbout));
    addSeparator(menu);
    add(menu, newServicesItem());
    addSeparator(menu);
    // No target: the actions go to the platform application.
    id hide = newPlatformItem(withName("Hide"), "hide:", "h", kModifierCommand);
    id hideOthers =
        newPlatformItem(localised("Hide Others"), "hideOtherApplications:", "h", kModifierCommand | kModifierOption);
    id showAll = newPlatformItem(localised("Show All"), "unhideAllApplications:", "", kModifierCommand);
    for (id item : {hide, hideOthers, showAll})
        add(menu, item);
    addSeparator(menu);
    add(menu, newFrameworkItem(withName("Quit"), "q", kCommandQuit));
    return menu;
}

} // namespace

void HMenuBar::create()
{
    m_menu = COCOA::Menu::create(Application::getApplication());
    CFStringRef title = makeString("MainMenu");
    objc::send<void>(m_menu, "setTitle:", title);
    CFRelease(title);

    id applicationMenu = getApplicationMenu().getPlatformMenu();
    id apple = COCOA::MenuItem::create();
    title = makeString("Apple");
    objc::send<void>(apple, "setTitle:", title);
    CFRelease(title);
    objc::send<void>(apple, "setSubmenu:", applicationMenu);
    add(m_menu, apple);
    tellApplication("setAppleMenu:", applicationMenu);
}

HMenu HMenuBar::getApplicationMenu()
{
    // Kept for the process.
    static id s_applicationMenu = buildApplicationMenu();
    return HMenu(s_applicationMenu);
}

} // namespace FEN
} // namespace CV
