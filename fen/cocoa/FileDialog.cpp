#include "FEN/FileDialog.h"

#include "BAS/CFString.h"
#include "BAS/FileTypeDescr.h"
#include "BAS/FileTypeGroupDescr.h"
#include "BAS/FileTypeManager.h"
#include "BAS/URI.h"
#include "platform/cf/CFArray.h"
#include "platform/cf/CFURL.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/ObjectRuntime.h"

namespace CV {
namespace FEN {

namespace objc = platform::objc;

namespace {

constexpr long kConfirmed = 1;

void setFlag(id panel, const char* selector, bool on)
{
    objc::send<void>(panel, selector, BOOL(on ? YES : NO));
}

void setText(id panel, const char* selector, std::string const& text)
{
    BAS::CFString string(BAS::CharSequence<char>(text.data(), text.size()), false);
    objc::send<void>(panel, selector, string.get());
}

bool responds(id object, const char* selector)
{
    return class_respondsToSelector(object_getClass(object), sel_registerName(selector));
}

} // namespace

FileDialog::FileDialog() = default;

FileDialog::~FileDialog() = default;

id FileDialog::makePanel(eFileAction action) const
{
    switch (action) {
    case eOpenFile: {
        id panel = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSOpenPanel"), "openPanel");
        setFlag(panel, "setCanCreateDirectories:", false);
        setFlag(panel, "setCanChooseFiles:", true);
        return panel;
    }
    case eSaveFile: return objc::send<id>(objc::ObjectRuntime::lookUpClass("NSSavePanel"), "savePanel");
    case eChooseFolder: {
        id panel = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSOpenPanel"), "openPanel");
        setFlag(panel, "setCanCreateDirectories:", m_bCanCreateFolders);
        setFlag(panel, "setCanChooseDirectories:", true);
        setFlag(panel, "setAllowsMultipleSelection:", false);
        setFlag(panel, "setCanChooseFiles:", false);
        setText(panel, "setPrompt:", "Choose");
        return panel;
    }
    }
    return nil;
}

void FileDialog::setStartLocation(id panel, eFileAction action) const
{
    if (m_fnInitial.full.empty())
        return;
    const std::string folder = m_fnInitial.volume + m_fnInitial.directory;
    BAS::CFString path(BAS::CharSequence<char>(folder.data(), folder.size()), false);
    CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, path.get(), kCFURLHFSPathStyle, true);
    if (url == nullptr)
        return; // the panel opens at its default folder
    objc::send<void>(panel, "setDirectoryURL:", url);
    CFRelease(url);
    if (action == eSaveFile && m_fnInitial.mode == BAS::FileName::eFile && responds(panel, "setNameFieldStringValue:"))
        setText(panel, "setNameFieldStringValue:", m_fnInitial.name + m_fnInitial.extension);
}

void FileDialog::setFilters(id panel) const
{
    if (m_vecTypeGroups.empty())
        return;
    const BAS::FileTypeGroupDescr* allFiles = BAS::FileTypeManager::getStdGroup(BAS::FileTypeManager::eGroupAllFiles);
    bool allowOthers = false;
    std::vector<CFStringRef> extensions;
    for (const BAS::FileTypeGroupDescr* group : m_vecTypeGroups) {
        if (group == allFiles) {
            allowOthers = true;
            continue;
        }
        const BAS::FileTypeGroupDescr* descr = BAS::FileTypeManager::getGroupDescrFor(group);
        if (descr == nullptr)
            continue;
        for (const BAS::FileTypeDescr* type : descr->types)
            if (type != nullptr)
                for (std::string const& extension : type->extensions)
                    extensions.push_back(platform::cf::String::createFromUTF8(extension));
    }
    if (!extensions.empty()) {
        std::vector<const void*> values(extensions.begin(), extensions.end());
        CFArrayRef list = CFArrayCreate(nullptr, values.data(), CFIndex(values.size()), nullptr);
        objc::send<void>(panel, "setAllowedFileTypes:", list);
        CFRelease(list);
        setFlag(panel, "setAllowsOtherFileTypes:", allowOthers);
    }
    for (CFStringRef extension : extensions)
        CFRelease(extension);
}

bool FileDialog::takeResult(id panel, eFileAction action)
{
    CFURLRef chosen = nullptr;
    if (action == eSaveFile) {
        chosen = objc::send<CFURLRef>(panel, "URL");
    } else {
        auto urls = objc::send<CFArrayRef>(panel, "URLs");
        if (urls != nullptr && CFArrayGetCount(urls) > 0)
            chosen = static_cast<CFURLRef>(CFArrayGetValueAtIndex(urls, 0));
    }
    if (chosen == nullptr)
        return false;
    BAS::URI uri(chosen);
    BAS::FileName name;
    if (!uri.getFileName(name) || name.full.empty())
        return false;
    if (action == eChooseFolder)
        name.setType(BAS::FileTypeManager::getStdType(BAS::FileTypeManager::eDirectory));
    else
        BAS::FileTypeManager::determineType(name);
    m_fnResult = name;
    return true;
}

bool FileDialog::doModal(eFileAction action, WindowBase*)
{
    m_fnResult.clear();
    m_eAction = action;
    objc::AutoreleasePool pool;
    id panel = makePanel(action);
    if (panel == nil)
        return false;
    if (m_bShowExtension)
        setFlag(panel, "setExtensionHidden:", false);
    if (!m_strCaption.empty())
        setText(panel, "setTitle:", m_strCaption);
    setStartLocation(panel, action);
    if (action != eChooseFolder)
        setFilters(panel);
    if (action == eSaveFile && m_fnSavePanelHook)
        m_fnSavePanelHook(panel);
    if (objc::send<long>(panel, "runModal") != kConfirmed)
        return false;
    return takeResult(panel, action);
}

} // namespace FEN
} // namespace CV
