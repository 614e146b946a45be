#include "FEN/COCOA/MenuItem.h"

#include "BAS/ClassFactory.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/HMenu.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

namespace CV {
namespace FEN {
namespace COCOA {

namespace {

namespace objc = platform::objc;

objc_class* s_itemClass = nullptr;

// Sends an event to the item's menu, which passes it to its target or up.
BOOL sendToMenu(id item, unsigned code, EventData* data)
{
    id menu = objc::send<id>(item, "menu");
    SEL process = objc::selector("processFENEvent:withData:");
    if (menu == nil || !objc::respondsTo(menu, process))
        return NO;
    return objc::send<BOOL>(menu, process, code, data);
}

id init(id self, SEL)
{
    return objc::sendSuper<id>(self, s_itemClass, objc::selector("init"));
}

void onItemClicked(id self, SEL, id)
{
    const long tag = objc::send<long>(self, "tag");
    if (tag == 0)
        return;
    CommandEventData data(static_cast<int32_t>(tag));
    sendToMenu(self, eCommandEvent::CommandExecute, &data);
}

BOOL validateMenuItem(id self, SEL, id)
{
    const long tag = objc::send<long>(self, "tag");
    if (tag == 0)
        return YES;
    HMenu menu(objc::send<id>(self, "menu"));
    MenuEventData data;
    data.command = static_cast<int32_t>(tag);
    data.menu = &menu;
    if (!sendToMenu(self, eCommandEvent::CommandValidate, &data))
        return YES;
    // The handler may have changed the item.
    return menu.getItemEnabledId(static_cast<int>(tag)) ? YES : NO;
}

struct RunTimeClass {
    BAS::OBJC::ClassFactory factory{s_itemClass};

    RunTimeClass()
    {
        platform::appkit::NSMenuItemClass();
        if (!factory.generateUniqueClass("ComCalvarineCocoaMenuItem", "NSMenuItem"))
            return;
        factory.addMethod(objc::selector("init"), objc::toIMP(&init), "@@:");
        factory.addMethod(objc::selector("onItemClicked:"), objc::toIMP(&onItemClicked), "v@:@");
        factory.addMethod(objc::selector("validateMenuItem:"), objc::toIMP(&validateMenuItem), "C@:@");
        factory.doRegister();
    }
};

RunTimeClass& runTimeClassHolder()
{
    static RunTimeClass s_class;
    return s_class;
}

// Registered at static initialisation.
const bool s_registered = (runTimeClassHolder(), true);

} // namespace

Class MenuItem::runTimeClass()
{
    runTimeClassHolder();
    return s_itemClass;
}

id MenuItem::create()
{
    Class cls = runTimeClass();
    if (cls == nullptr)
        return nil;
    id item = objc::NSObject::allocInit(cls);
    objc::send<void>(item, "setTarget:", item);
    objc::send<void>(item, "setAction:", objc::selector("onItemClicked:"));
    return item;
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
