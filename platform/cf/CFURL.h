#pragma once
// URLs: the text of a URL (percent-encoded, as given), optionally relative
// to a base URL. File URLs convert to and from POSIX paths; colon (HFS)
// paths convert through a converter that the volume layer installs.
#include "platform/cf/CFString.h"

#include <functional>
#include <string>

typedef CFIndex CFURLPathStyle;
enum : CFURLPathStyle { kCFURLPOSIXPathStyle = 0, kCFURLHFSPathStyle = 1 };

namespace platform::cf {

class URL : public Object {
public:
    // text: the URL's characters; base: retained when not null.
    URL(std::string text, const URL* base);
    ~URL() override;

    const std::string& text() const noexcept { return m_text; }
    const URL* base() const noexcept { return m_base; }
    // The URL resolved against its base (the text itself when it has none).
    std::string absoluteText() const;
    // "file" for file URLs; empty when the text has no scheme.
    std::string scheme() const;
    // The percent-decoded path of a file URL ("" for other URLs).
    std::string posixPath() const;
    bool hasDirectoryPath() const;
    // The string form, made once and owned by the URL.
    CFStringRef string() const;

    bool equals(const Object& other) const override;
    std::size_t hash() const override;

    static const URL* fromRef(CFTypeRef ref) noexcept;

    // A file URL of an absolute POSIX path (a relative one is taken from the
    // current directory); directories end with '/'.
    static const URL* createWithPosixPath(const std::string& path, bool isDirectory);
    // Percent-encodes every byte that may not stand in a URL path.
    static std::string encodePath(const std::string& path);
    // Decodes %XX escapes; false when an escape is cut or not hexadecimal.
    static bool decodePercent(const std::string& text, std::string& out);
    // Whether text holds only characters a URL may contain (and whole escapes).
    static bool isWellFormed(const std::string& text);

    // Conversion between colon paths and POSIX paths, installed by the
    // volume layer; without it HFS-style calls give null.
    struct ColonPathConverter {
        std::function<bool(const std::string& colonPath, std::string& posixPath)> toPosix;
        std::function<bool(const std::string& posixPath, std::string& colonPath)> fromPosix;
    };
    static void setColonPathConverter(ColonPathConverter converter);
    static const ColonPathConverter& colonPathConverter();

private:
    std::string m_text;
    const URL* m_base;
    mutable CFStringRef m_string = nullptr;
};

} // namespace platform::cf

typedef const platform::cf::URL* CFURLRef;

CFTypeID CFURLGetTypeID();
// Null for null or empty paths, or an HFS path without a converter.
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef alloc, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory);
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef alloc, const UInt8* buffer, CFIndex bufLen,
                                                 Boolean isDirectory);
// Null when the text is empty or holds characters a URL may not contain.
CFURLRef CFURLCreateWithString(CFAllocatorRef alloc, CFStringRef URLString, CFURLRef baseURL);
CFURLRef CFURLCreateWithBytes(CFAllocatorRef alloc, const UInt8* URLBytes, CFIndex length, CFStringEncoding encoding,
                              CFURLRef baseURL);
CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef alloc, CFURLRef url, CFStringRef pathComponent,
                                               Boolean isDirectory);
CFURLRef CFURLCopyAbsoluteURL(CFURLRef relativeURL);
// The URL's text (not resolved against the base); owned by the URL.
CFStringRef CFURLGetString(CFURLRef anURL);
CFURLRef CFURLGetBaseURL(CFURLRef anURL);
// The bytes of the URL's text; with a null buffer, the number of bytes;
// -1 when the buffer is too small.
CFIndex CFURLGetBytes(CFURLRef url, UInt8* buffer, CFIndex bufferLength);
// The decoded path of a file URL without a trailing '/' (except "/"); null
// for other URLs.
CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle);
// The POSIX path, NUL-terminated; false when it does not fit or the URL is
// not a file URL.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen);
CFStringRef CFURLCopyLastPathComponent(CFURLRef url);
CFStringRef CFURLCopyScheme(CFURLRef anURL);
Boolean CFURLHasDirectoryPath(CFURLRef anURL);
// Whether the file or folder the URL names exists.
Boolean CFURLResourceIsReachable(CFURLRef url, void* error);
