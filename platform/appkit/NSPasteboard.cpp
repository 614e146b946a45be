#include "platform/appkit/NSPasteboard.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <map>
#include <string>

NSString* const NSStringPboardType = platform::appkit::makeString("NSStringPboardType");
NSString* const NSFilenamesPboardType = platform::appkit::makeString("NSFilenamesPboardType");
NSString* const NSDragPboard = platform::appkit::makeString("Apple CFPasteboard drag");

namespace platform::appkit {

namespace {

// One object per name, kept for the process.
id pasteboardNamed(id cls, const std::string& name)
{
    static std::map<std::string, id> s_boards;
    id& board = s_boards[name];
    if (!board) {
        board = objc::NSObject::allocInit(reinterpret_cast<Class>(cls));
        objc::ivar<NSString*>(board, "_name") = makeString(name);
    }
    return board;
}

id withName(id cls, SEL, NSString* name)
{
    return pasteboardNamed(cls, utf8(name));
}
id general(id cls, SEL)
{
    return pasteboardNamed(cls, "Apple CFPasteboard general");
}
NSString* name(id self, SEL)
{
    return objc::ivar<NSString*>(self, "_name");
}

Class registerClass()
{
    return objc::StandInClass("NSPasteboard", objc::NSObject::rootClass())
        .ivar<NSString*>("_name")
        .classMethod("pasteboardWithName:", &withName)
        .classMethod("generalPasteboard", &general)
        .method("name", &name)
        .registerClass();
}

} // namespace

Class NSPasteboardClass()
{
    static Class s_class = registerClass();
    return s_class;
}

} // namespace platform::appkit
