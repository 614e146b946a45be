#include "platform/pasteboard/Pasteboard.h"

#include "platform/backend/Backend.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <vector>

const CFStringRef kPasteboardClipboard = platform::cf::String::createFromUTF8("Apple CFPasteboard general");
const CFStringRef kPasteboardFind = platform::cf::String::createFromUTF8("Apple CFPasteboard find");
const CFStringRef kUTTypeItem = platform::cf::String::createFromUTF8("public.item");
const CFStringRef kUTTypeData = platform::cf::String::createFromUTF8("public.data");
const CFStringRef kUTTypeText = platform::cf::String::createFromUTF8("public.text");
const CFStringRef kUTTypePlainText = platform::cf::String::createFromUTF8("public.plain-text");
const CFStringRef kUTTypeUTF8PlainText = platform::cf::String::createFromUTF8("public.utf8-plain-text");
const CFStringRef kUTTypeUTF16PlainText = platform::cf::String::createFromUTF8("public.utf16-plain-text");
const CFStringRef kUTTypeURL = platform::cf::String::createFromUTF8("public.url");
const CFStringRef kUTTypeFileURL = platform::cf::String::createFromUTF8("public.file-url");

namespace platform::pasteboard {

// What this process knows of a named pasteboard: who cleared it last (at
// which change count) and the identifiers of the items it put.
struct Ownership {
    const void* owner = nullptr;
    long ownedAt = -1;
    std::vector<PasteboardItemID> items;
};

class Pasteboard : public cf::Object {
public:
    explicit Pasteboard(std::string name)
        : cf::Object(cf::TypeId::Pasteboard)
        , name(std::move(name))
    {
    }
    ~Pasteboard() override
    {
        Ownership& o = ownership();
        if (o.owner == this)
            o.owner = nullptr;
    }

    peer::PasteboardPeer& peer() const { return Backend::current().pasteboard(name); }
    Ownership& ownership() const
    {
        static std::map<std::string, Ownership> s_ownership;
        return s_ownership[name];
    }
    bool owns() const { return ownership().owner == this && ownership().ownedAt == peer().changeCount(); }
    // The index of an item (0-based); -1 when there is none.
    long indexOf(PasteboardItemID item) const
    {
        if (owns()) {
            const std::vector<PasteboardItemID>& ids = ownership().items;
            auto it = std::find(ids.begin(), ids.end(), item);
            return it == ids.end() ? -1 : long(it - ids.begin());
        }
        const auto number = reinterpret_cast<std::uintptr_t>(item);
        return number >= 1 && number <= peer().itemCount() ? long(number) - 1 : -1;
    }

    const std::string name;
    mutable long seenChangeCount = -1;
};

} // namespace platform::pasteboard

namespace {

using platform::pasteboard::Pasteboard;

std::string text(CFStringRef string)
{
    return string ? string->utf8() : std::string();
}

const char* parentOf(const std::string& type)
{
    static const std::map<std::string, const char*> s_parents = {
        {"public.utf8-plain-text", "public.plain-text"},
        {"public.utf16-plain-text", "public.plain-text"},
        {"public.utf16-external-plain-text", "public.plain-text"},
        {"public.plain-text", "public.text"},
        {"public.text", "public.data"},
        {"public.file-url", "public.url"},
        {"public.url", "public.data"},
        {"public.data", "public.item"},
    };
    auto it = s_parents.find(type);
    return it == s_parents.end() ? nullptr : it->second;
}

} // namespace

OSStatus PasteboardCreate(CFStringRef name, PasteboardRef* pasteboard)
{
    if (!pasteboard)
        return paramErr;
    static std::atomic<int> s_unique{0};
    const std::string chosen = name ? text(name) : "CFPasteboardUnique-" + std::to_string(++s_unique);
    *pasteboard = new Pasteboard(chosen);
    return noErr;
}

OSStatus PasteboardClear(PasteboardRef pasteboard)
{
    if (!pasteboard)
        return paramErr;
    pasteboard->peer().clear();
    platform::pasteboard::Ownership& o = pasteboard->ownership();
    o.owner = pasteboard;
    o.ownedAt = pasteboard->peer().changeCount();
    o.items.clear();
    pasteboard->seenChangeCount = o.ownedAt;
    return noErr;
}

PasteboardSyncFlags PasteboardSynchronize(PasteboardRef pasteboard)
{
    if (!pasteboard)
        return 0;
    PasteboardSyncFlags flags = 0;
    const long now = pasteboard->peer().changeCount();
    if (now != pasteboard->seenChangeCount)
        flags |= kPasteboardModified;
    pasteboard->seenChangeCount = now;
    if (pasteboard->owns())
        flags |= kPasteboardClientIsOwner;
    return flags;
}

OSStatus PasteboardPutItemFlavor(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                 CFDataRef data, PasteboardFlavorFlags)
{
    if (!pasteboard || !item || !flavorType)
        return paramErr;
    if (!pasteboard->owns())
        return notPasteboardOwnerErr;
    std::vector<PasteboardItemID>& ids = pasteboard->ownership().items;
    long index = pasteboard->indexOf(item);
    if (index < 0) {
        ids.push_back(item);
        index = long(ids.size()) - 1;
    } else {
        const std::vector<std::string> types = pasteboard->peer().types(std::size_t(index));
        if (std::find(types.begin(), types.end(), text(flavorType)) != types.end())
            return duplicatePasteboardFlavorErr;
    }
    std::vector<std::uint8_t> bytes;
    if (data)
        bytes = data->bytes();
    pasteboard->peer().put(std::size_t(index), text(flavorType), std::move(bytes));
    // Putting data does not count as a change for the one who put it.
    pasteboard->ownership().ownedAt = pasteboard->peer().changeCount();
    return noErr;
}

OSStatus PasteboardGetItemCount(PasteboardRef pasteboard, ItemCount* count)
{
    if (!pasteboard || !count)
        return paramErr;
    *count = pasteboard->peer().itemCount();
    return noErr;
}

OSStatus PasteboardGetItemIdentifier(PasteboardRef pasteboard, CFIndex index, PasteboardItemID* item)
{
    if (!pasteboard || !item)
        return paramErr;
    if (index < 1 || std::size_t(index) > pasteboard->peer().itemCount())
        return badPasteboardIndexErr;
    const std::vector<PasteboardItemID>& ids = pasteboard->ownership().items;
    *item = pasteboard->owns() && std::size_t(index) <= ids.size() ? ids[std::size_t(index) - 1]
                                                                   : reinterpret_cast<PasteboardItemID>(index);
    return noErr;
}

OSStatus PasteboardCopyItemFlavors(PasteboardRef pasteboard, PasteboardItemID item, CFArrayRef* flavorTypes)
{
    if (!pasteboard || !flavorTypes)
        return paramErr;
    const long index = pasteboard->indexOf(item);
    if (index < 0)
        return badPasteboardItemErr;
    std::vector<const void*> names;
    for (const std::string& type : pasteboard->peer().types(std::size_t(index)))
        names.push_back(platform::cf::String::createFromUTF8(type));
    *flavorTypes = CFArrayCreate(nullptr, names.data(), CFIndex(names.size()), &kCFTypeArrayCallBacks);
    for (const void* name : names)
        CFRelease(name);
    return noErr;
}

OSStatus PasteboardCopyItemFlavorData(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                      CFDataRef* data)
{
    if (!pasteboard || !data || !flavorType)
        return paramErr;
    const long index = pasteboard->indexOf(item);
    if (index < 0)
        return badPasteboardItemErr;
    const std::vector<std::string> types = pasteboard->peer().types(std::size_t(index));
    if (std::find(types.begin(), types.end(), text(flavorType)) == types.end())
        return badPasteboardFlavorErr;
    const std::vector<std::uint8_t> bytes = pasteboard->peer().data(std::size_t(index), text(flavorType));
    *data = CFDataCreate(nullptr, bytes.data(), CFIndex(bytes.size()));
    return noErr;
}

OSStatus PasteboardCopyName(PasteboardRef pasteboard, CFStringRef* name)
{
    if (!pasteboard || !name)
        return paramErr;
    *name = platform::cf::String::createFromUTF8(pasteboard->name);
    return noErr;
}

Boolean UTTypeConformsTo(CFStringRef type, CFStringRef conformsTo)
{
    if (!type || !conformsTo)
        return false;
    const std::string target = text(conformsTo);
    for (std::string current = text(type); !current.empty();) {
        if (current == target)
            return true;
        const char* parent = parentOf(current);
        current = parent ? parent : "";
    }
    return false;
}
