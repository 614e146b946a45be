#pragma once
// The pasteboard service of the C interface over the backend's pasteboard
// peers, and uniform type identifiers.
//
// A pasteboard holds items numbered from 1, each with data in flavours
// named by type identifiers. Writing needs ownership: PasteboardClear makes
// the reference its pasteboard's owner until someone else clears it;
// PasteboardSynchronize reports kPasteboardModified when the contents
// changed since the reference last looked, and kPasteboardClientIsOwner.
// Item identifiers are the caller's (any non-null value) for items it put,
// the item's number for items found there.
//
// UTTypeConformsTo knows the text, URL and data types the framework uses:
// every type conforms to itself, "public.utf8-plain-text" and
// "public.utf16-plain-text" to "public.plain-text", that to "public.text",
// "public.file-url" to "public.url", and those to "public.data" and
// "public.item".
#include "platform/cf/CFArray.h"
#include "platform/cf/CFData.h"
#include "platform/cf/CFString.h"

#include <cstdint>

namespace platform::pasteboard {
class Pasteboard;
} // namespace platform::pasteboard

typedef std::int32_t OSStatus;
typedef std::uint32_t OptionBits;
typedef unsigned long ItemCount;
typedef const platform::pasteboard::Pasteboard* PasteboardRef;
typedef void* PasteboardItemID;
typedef OptionBits PasteboardSyncFlags;
typedef OptionBits PasteboardFlavorFlags;

enum : OSStatus {
    noErr = 0,
    paramErr = -50,
    badPasteboardSyncErr = -25130,
    badPasteboardIndexErr = -25131,
    badPasteboardItemErr = -25132,
    badPasteboardFlavorErr = -25133,
    duplicatePasteboardFlavorErr = -25134,
    notPasteboardOwnerErr = -25135,
};

enum : PasteboardSyncFlags { kPasteboardModified = 1u << 0, kPasteboardClientIsOwner = 1u << 1 };
enum : PasteboardFlavorFlags { kPasteboardFlavorNoFlags = 0 };

// The general pasteboard and the find pasteboard.
extern const CFStringRef kPasteboardClipboard;
extern const CFStringRef kPasteboardFind;

extern const CFStringRef kUTTypeItem;
extern const CFStringRef kUTTypeData;
extern const CFStringRef kUTTypeText;
extern const CFStringRef kUTTypePlainText;
extern const CFStringRef kUTTypeUTF8PlainText;
extern const CFStringRef kUTTypeUTF16PlainText;
extern const CFStringRef kUTTypeURL;
extern const CFStringRef kUTTypeFileURL;

// A new reference (CFRelease) to the pasteboard of that name; a null name
// makes a pasteboard of a new unique name.
OSStatus PasteboardCreate(CFStringRef name, PasteboardRef* pasteboard);
OSStatus PasteboardClear(PasteboardRef pasteboard);
PasteboardSyncFlags PasteboardSynchronize(PasteboardRef pasteboard);
OSStatus PasteboardPutItemFlavor(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                 CFDataRef data, PasteboardFlavorFlags flags);
OSStatus PasteboardGetItemCount(PasteboardRef pasteboard, ItemCount* count);
OSStatus PasteboardGetItemIdentifier(PasteboardRef pasteboard, CFIndex index, PasteboardItemID* item);
// The item's flavour types, a new CFArray of CFStrings.
OSStatus PasteboardCopyItemFlavors(PasteboardRef pasteboard, PasteboardItemID item, CFArrayRef* flavorTypes);
OSStatus PasteboardCopyItemFlavorData(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                      CFDataRef* data);
OSStatus PasteboardCopyName(PasteboardRef pasteboard, CFStringRef* name);

Boolean UTTypeConformsTo(CFStringRef type, CFStringRef conformsTo);
