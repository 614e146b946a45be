#pragma once
// Linked resources of a bundle, addressed by a four-character type code and
// a numeric id or a name, with the calls of the platform's resource map.
//
// A bundle's linked resources are plain files:
//   <bundle>/Contents/Resources/Linked/<type>/<id>          by id
//   <bundle>/Contents/Resources/Linked/<type>/named/<name>  by name
// where <type> is the four characters of the type code (a '/' or a byte
// outside printable ASCII written as %XX). Opening a bundle's map makes it
// the current resource file; Get1Resource and Get1NamedResource look only
// there and hand out a new handle holding a copy of the file's bytes (the
// caller disposes of it; DetachResource does nothing more).
#include "platform/cf/CFBundle.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

typedef uint32_t ResType;
typedef int16_t ResID;
typedef int16_t ResFileRefNum;
typedef int16_t OSErr;
typedef long Size;
typedef char* Ptr;
typedef Ptr* Handle;
typedef const unsigned char* ConstStr255Param; // length byte, then the characters

enum : OSErr { noErr = 0, resNotFound = -192, resFNotFound = -193, memWZErr = -111 };

namespace platform::resources {

class ResourceMap {
public:
    static ResourceMap& instance();

    // Makes the bundle's linked resources the current resource file;
    // -1 when the bundle is null.
    ResFileRefNum open(CFBundleRef bundle);
    // Closes the map; the one opened before it becomes current again.
    void close(ResFileRefNum refNum);

    // The resource's file in the current map, or "".
    std::string pathOf(ResType type, ResID id) const;
    std::string pathOf(ResType type, const std::string& name) const;

    // Folder name of a type code.
    static std::string typeFolderName(ResType type);

    OSErr lastError() const;
    void setLastError(OSErr error) const;

private:
    ResourceMap() = default;
    std::string currentFolder() const;

    struct OpenMap {
        ResFileRefNum refNum;
        std::string folder; // .../Contents/Resources/Linked
    };
    mutable std::mutex m_mutex;
    std::vector<OpenMap> m_open;
    ResFileRefNum m_nextRefNum = 1;
    mutable OSErr m_lastError = noErr;
};

} // namespace platform::resources

ResFileRefNum CFBundleOpenBundleResourceMap(CFBundleRef bundle);
void CFBundleCloseBundleResourceMap(CFBundleRef bundle, ResFileRefNum refNum);
// A new handle with the resource's bytes, or null (ResError tells why).
Handle Get1Resource(ResType theType, ResID theID);
Handle Get1NamedResource(ResType theType, ConstStr255Param name);
void DetachResource(Handle theResource);
void ReleaseResource(Handle theResource);
OSErr ResError();

// Relocatable blocks.
Handle NewHandle(Size byteCount);
void DisposeHandle(Handle h);
Size GetHandleSize(Handle h);
void HLock(Handle h);
void HUnlock(Handle h);
