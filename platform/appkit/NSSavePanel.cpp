#include "platform/appkit/NSSavePanel.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/Backend.h"
#include "platform/cf/CFArray.h"
#include "platform/cf/CFURL.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <vector>

namespace platform::appkit {

namespace {

const char* const kState = "_filePanel";

struct PanelState {
    peer::PanelOptions options;
    std::vector<CFURLRef> urls; // owned
    CFArrayRef urlArray = nullptr;
    void forgetAnswer()
    {
        if (urlArray)
            CFRelease(urlArray);
        urlArray = nullptr;
        for (CFURLRef url : urls)
            CFRelease(url);
        urls.clear();
    }
};

PanelState& state(id self)
{
    PanelState*& s = reinterpret_cast<PanelState*&>(objc::ivar<void*>(self, kState));
    if (!s)
        s = new PanelState;
    return *s;
}

id makePanel(id cls, bool save)
{
    id panel = objc::send<id>(objc::NSObject::alloc(reinterpret_cast<Class>(cls)),
                              "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 480, 320),
                              NSWindowStyleMaskTitled | NSWindowStyleMaskResizable, 2ul, BOOL(YES));
    state(panel).options.save = save;
    if (!save)
        state(panel).options.canCreateDirectories = false;
    return objc::NSObject::autorelease(panel);
}

id savePanel(id cls, SEL)
{
    return makePanel(cls, true);
}
id openPanel(id cls, SEL)
{
    return makePanel(cls, false);
}

void deallocPanel(id self, SEL sel)
{
    if (PanelState* s = stateOf<PanelState>(self, kState)) {
        s->forgetAnswer();
        delete s;
    }
    objc::sendSuper<void>(self, NSSavePanelClass(), sel);
}

void setTitle(id self, SEL sel, NSString* text)
{
    state(self).options.title = utf8(text);
    objc::sendSuper<void>(self, NSSavePanelClass(), sel, text);
}
void setPrompt(id self, SEL, NSString* text)
{
    state(self).options.prompt = utf8(text);
}
void setMessage(id self, SEL, NSString* text)
{
    state(self).options.message = utf8(text);
}
void setNameField(id self, SEL, NSString* text)
{
    state(self).options.nameField = utf8(text);
}

void setDirectoryURL(id self, SEL, CFURLRef url)
{
    if (!url)
        return;
    CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    state(self).options.directory = utf8(path);
    if (path)
        CFRelease(path);
}

void setAllowedFileTypes(id self, SEL, CFArrayRef types)
{
    std::vector<std::string>& allowed = state(self).options.allowedTypes;
    allowed.clear();
    for (CFIndex i = 0; types && i < CFArrayGetCount(types); ++i)
        allowed.push_back(utf8(CFArrayGetValueAtIndex(types, i)));
}

void setAllowsOther(id self, SEL, BOOL on)
{
    state(self).options.allowsOtherTypes = on != NO;
}
void setCanCreate(id self, SEL, BOOL on)
{
    state(self).options.canCreateDirectories = on != NO;
}
void setExtensionHidden(id self, SEL, BOOL on)
{
    state(self).options.extensionHidden = on != NO;
}
void setCanChooseFiles(id self, SEL, BOOL on)
{
    state(self).options.canChooseFiles = on != NO;
}
void setCanChooseDirectories(id self, SEL, BOOL on)
{
    state(self).options.canChooseDirectories = on != NO;
}
void setAllowsMultiple(id self, SEL, BOOL on)
{
    state(self).options.allowsMultipleSelection = on != NO;
}

long runModal(id self, SEL)
{
    PanelState& s = state(self);
    s.forgetAnswer();
    const peer::PanelResult result = Backend::current().createPanel()->runModal(s.options);
    if (!result.accepted)
        return NSModalResponseCancel;
    for (const std::string& path : result.paths) {
        CFStringRef text = makeString(path);
        s.urls.push_back(CFURLCreateWithFileSystemPath(nullptr, text, kCFURLPOSIXPathStyle, false));
        CFRelease(text);
    }
    std::vector<const void*> values(s.urls.begin(), s.urls.end());
    s.urlArray = CFArrayCreate(nullptr, values.data(), CFIndex(values.size()), nullptr);
    return NSModalResponseOK;
}

CFURLRef url(id self, SEL)
{
    return state(self).urls.empty() ? nullptr : state(self).urls.front();
}
CFArrayRef urls(id self, SEL)
{
    return state(self).urlArray;
}

Class registerSaveClass()
{
    return objc::StandInClass("NSSavePanel", NSPanelClass())
        .ivar<void*>(kState)
        .classMethod("savePanel", &savePanel)
        .method("dealloc", &deallocPanel)
        .method("setTitle:", &setTitle)
        .method("setPrompt:", &setPrompt)
        .method("setMessage:", &setMessage)
        .method("setNameFieldStringValue:", &setNameField)
        .method("setDirectoryURL:", &setDirectoryURL)
        .method("setAllowedFileTypes:", &setAllowedFileTypes)
        .method("setAllowsOtherFileTypes:", &setAllowsOther)
        .method("setCanCreateDirectories:", &setCanCreate)
        .method("setExtensionHidden:", &setExtensionHidden)
        .method("runModal", &runModal)
        .method("URL", &url)
        .registerClass();
}

Class registerOpenClass()
{
    return objc::StandInClass("NSOpenPanel", NSSavePanelClass())
        .classMethod("openPanel", &openPanel)
        .method("setCanChooseFiles:", &setCanChooseFiles)
        .method("setCanChooseDirectories:", &setCanChooseDirectories)
        .method("setAllowsMultipleSelection:", &setAllowsMultiple)
        .method("URLs", &urls)
        .registerClass();
}

} // namespace

Class NSSavePanelClass()
{
    static Class s_class = registerSaveClass();
    return s_class;
}

Class NSOpenPanelClass()
{
    static Class s_class = registerOpenClass();
    return s_class;
}

} // namespace platform::appkit
