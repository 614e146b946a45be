#pragma once
// "NSPasteboard": a named pasteboard as an object (generalPasteboard,
// pasteboardWithName: (class), name); its contents are reached through
// the pasteboard service (platform/pasteboard) by that name. The type
// names NSStringPboardType and NSFilenamesPboardType are what views
// register for drags.
#include "platform/cf/NSString.h"

#include <objc/runtime.h>

extern NSString* const NSStringPboardType;
extern NSString* const NSFilenamesPboardType;
extern NSString* const NSDragPboard;

namespace platform::appkit {

Class NSPasteboardClass();

} // namespace platform::appkit
