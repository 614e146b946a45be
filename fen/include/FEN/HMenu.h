#pragma once
// Wrappers around the platform's menus. Menu items carry a command id as
// their tag; choosing an item, validating it and opening a menu reach the
// event target of the nearest enclosing menu that has one as
// CommandExecute, CommandValidate and MenuWillOpen. Copies of a wrapper
// share the platform menu; wrappers never release it.
#include "BAS/CharSequence.h"

#include <objc/runtime.h>

#include <cstdint>
#include <map>

namespace CV {
namespace FEN {

class HPopupMenu;

class HMenu {
public:
    HMenu() = default;
    explicit HMenu(id platformMenu)
        : m_menu(platformMenu)
    {
    }
    virtual ~HMenu();

    id getPlatformMenu() const { return m_menu; }

    // Flags of insertCommandAt.
    enum : unsigned { eDisabled = 1, eChecked = 2 };

    // Inserts a command item at index (negative: the end) and returns the
    // index. The shortcut (a key word, 0 for none) becomes the item's key
    // equivalent and enters the shortcut map. 'quit' and 'abou' insert
    // nothing (the application menu has them); 'pref' goes into the
    // application menu after About.
    int insertCommandAt(int index, BAS::CharSequence<char> const& title, int command, unsigned flags,
                        unsigned shortcut);
    // Inserts the popup menu as a sub menu titled title; -1 (nothing
    // inserted) when the popup menu has no items.
    int insertSubMenuAt(int index, BAS::CharSequence<char> const& title, HPopupMenu const& menu);
    // The enabled state of the item whose tag is command; false when none.
    bool getItemEnabledId(int command) const;

    // Every shortcut given to a command item: key word -> command id.
    static std::map<uint32_t, int32_t> s_mapCommandShortcuts;
    // The menu library is enabled (set by the framework's start-up).
    static bool s_bInit;

protected:
    id m_menu = nil;
};

class HMenuBar : public HMenu {
public:
    HMenuBar() = default;
    ~HMenuBar() override;

    // Builds the main menu: the application menu under an "Apple" item,
    // events to the running application. Installing it is
    // Application::setMenu.
    void create();

    // The process's application menu (About, Services, Hide, Hide Others,
    // Show All, Quit), built on the first call.
    static HMenu getApplicationMenu();
};

class HPopupMenu : public HMenu {
public:
    HPopupMenu() = default;
    ~HPopupMenu() override;

    // Creates the platform menu (without an event target).
    void create(int unused = 0);
};

} // namespace FEN
} // namespace CV
