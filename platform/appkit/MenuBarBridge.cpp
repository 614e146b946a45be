#include "platform/appkit/MenuBarBridge.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/backend/Backend.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"

namespace platform::appkit {

namespace {

id s_installed = nil;

peer::MenuNode nodeFor(id menu)
{
    peer::MenuNode node;
    node.title = utf8(objc::send<CFStringRef>(menu, "title"));
    const long count = objc::send<long>(menu, "numberOfItems");
    for (long i = 0; i < count; ++i) {
        id item = objc::send<id>(menu, "itemAtIndex:", i);
        id submenu = objc::send<id>(item, "submenu");
        peer::MenuNode child = submenu ? nodeFor(submenu) : peer::MenuNode{};
        const std::string title = utf8(objc::send<CFStringRef>(item, "title"));
        if (!title.empty() || !submenu)
            child.title = title;
        child.separator = objc::send<BOOL>(item, "isSeparatorItem");
        child.enabled = objc::send<BOOL>(item, "isEnabled");
        child.checked = objc::send<long>(item, "state") == NSOnState;
        child.keyEquivalent = utf8(objc::send<CFStringRef>(item, "keyEquivalent"));
        child.keyModifiers = objc::send<unsigned long>(item, "keyEquivalentModifierMask");
        node.children.push_back(std::move(child));
    }
    return node;
}

// The menu or item at path (child indices from the main menu down).
id objectAt(const peer::MenuPath& path, bool wantItem)
{
    id menu = s_installed;
    id item = nil;
    for (std::size_t index : path) {
        if (!menu || long(index) >= objc::send<long>(menu, "numberOfItems"))
            return nil;
        item = objc::send<id>(menu, "itemAtIndex:", long(index));
        menu = objc::send<id>(item, "submenu");
    }
    return wantItem ? item : menu;
}

class Bridge : public peer::MenuBarClient {
public:
    void menuWillOpen(const peer::MenuPath& path) override
    {
        objc::AutoreleasePool pool;
        if (id menu = objectAt(path, false)) {
            openMenu(menu);
            installMenuBar(s_installed);
        }
    }
    void itemChosen(const peer::MenuPath& path) override
    {
        objc::AutoreleasePool pool;
        if (id item = objectAt(path, true))
            performItem(item);
    }
};

Bridge s_bridge;

void updateAll(id menu)
{
    objc::send<void>(menu, "update");
    const long count = objc::send<long>(menu, "numberOfItems");
    for (long i = 0; i < count; ++i)
        if (id submenu = objc::send<id>(objc::send<id>(menu, "itemAtIndex:", i), "submenu"))
            updateAll(submenu);
}

} // namespace

void installMenuBar(id menu)
{
    s_installed = menu;
    if (menu)
        updateAll(menu);
    Backend::current().menuBar().setMenuTree(menu ? nodeFor(menu) : peer::MenuNode{}, menu ? &s_bridge : nullptr);
}

} // namespace platform::appkit
