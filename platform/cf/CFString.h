#pragma once
// Immutable platform strings: UTF-16 content made from characters or from
// encoded bytes, with the C-style calls of the platform's string interface.
#include "platform/cf/CFType.h"

#include <string>

typedef char16_t UniChar;
typedef uint32_t CFStringEncoding;

enum : CFStringEncoding {
    kCFStringEncodingMacRoman = 0,
    kCFStringEncodingISOLatin1 = 0x0201,
    kCFStringEncodingASCII = 0x0600,
    kCFStringEncodingUTF8 = 0x08000100,
};

namespace platform::cf {

class Locale;

class String : public Object {
public:
    // withDirectAccess: whether CFStringGetCharactersPtr exposes the
    // characters. Strings made from characters do; strings made from bytes
    // do not, so callers must handle both.
    String(std::u16string characters, bool withDirectAccess);

    const std::u16string& characters() const noexcept { return m_characters; }
    bool offersDirectAccess() const noexcept { return m_directAccess; }

    bool equals(const Object& other) const override;
    std::size_t hash() const override;

    // The characters as UTF-8 (unpaired surrogates become U+FFFD).
    std::string utf8() const;
    // A new string (one reference for the caller) of UTF-8 text; invalid
    // sequences become U+FFFD, so the result is never null.
    static const String* createFromUTF8(const std::string& text);

    static const String* fromRef(CFTypeRef ref) noexcept;

    // Mutable strings only (CFMutableStringRef).
    void setCharacters(std::u16string characters) { m_characters = std::move(characters); }

private:
    std::u16string m_characters;
    bool m_directAccess;
};

} // namespace platform::cf

typedef const platform::cf::String* CFStringRef;
typedef platform::cf::String* CFMutableStringRef;

typedef CFIndex CFStringNormalizationForm;
enum : CFStringNormalizationForm {
    kCFStringNormalizationFormD = 0,
    kCFStringNormalizationFormKD = 1,
    kCFStringNormalizationFormC = 2,
    kCFStringNormalizationFormKC = 3
};

CFTypeID CFStringGetTypeID();

// Copies numChars UTF-16 units (taken as they are, unpaired surrogates too).
// Null chars with numChars 0 makes an empty string.
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars, CFIndex numChars);
// Decodes numBytes bytes in the encoding (UTF-8, ASCII, ISO Latin 1; Mac Roman
// is accepted for its ASCII half). Null when the bytes are not valid in the
// encoding or the encoding is not supported. isExternalRepresentation: a UTF-8
// byte order mark at the start is skipped.
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation);
// As CFStringCreateWithBytes over the NUL-terminated text.
CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding);

// Length in UTF-16 units; 0 for null.
CFIndex CFStringGetLength(CFStringRef theString);
// The string's own UTF-16 units, or null when the string does not expose them.
const UniChar* CFStringGetCharactersPtr(CFStringRef theString);
// Copies the units of range into buffer; the range must lie inside the string
// (units outside it are left untouched).
void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer);
// Writes the text in the encoding with a terminating NUL. False (and an empty
// buffer when bufferSize > 0) when it does not fit, cannot be encoded or the
// string is null.
Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
// Upper bound of the bytes needed for length units in the encoding (without NUL).
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);

// A mutable copy of the string (maxLength is not enforced); an empty one for null.
CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef alloc, CFIndex maxLength, CFStringRef theString);
// Capitalises every word: its first letter in title case, the rest in lower
// case, by the locale's rules (Turkish and Azeri dotted capital I); a null
// locale takes the root rules.
void CFStringCapitalize(CFMutableStringRef theString, const platform::cf::Locale* locale);
// Brings the string into the Unicode normalisation form.
void CFStringNormalize(CFMutableStringRef theString, CFStringNormalizationForm theForm);
// The name as the file system takes it, NUL-terminated: on Linux the UTF-8
// text itself (file systems store names unnormalised). False when it does
// not fit or the string is null.
Boolean CFStringGetFileSystemRepresentation(CFStringRef string, char* buffer, CFIndex maxBufLen);
CFIndex CFStringGetMaximumSizeOfFileSystemRepresentation(CFStringRef string);
