#include "platform/cf/CFString.h"

#include "platform/cf/CFLocale.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace platform::cf {

String::String(std::u16string characters, bool withDirectAccess)
    : Object(TypeId::String)
    , m_characters(std::move(characters))
    , m_directAccess(withDirectAccess)
{
}

const String* String::fromRef(CFTypeRef ref) noexcept
{
    return static_cast<const String*>(Object::fromRef(ref));
}

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Strict UTF-8 decoding: no overlong forms, no surrogates, nothing above
// U+10FFFF. Empty result on any fault.
std::optional<std::u16string> decodeUtf8(const unsigned char* bytes, size_t count)
{
    std::u16string out;
    out.reserve(count);
    size_t i = 0;
    while (i < count) {
        const unsigned char lead = bytes[i];
        char32_t cp = 0;
        size_t trail = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            cp = lead & 0x1F, trail = 1, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            cp = lead & 0x0F, trail = 2, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            cp = lead & 0x07, trail = 3, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (count - i - 1 < trail)
            return std::nullopt;
        for (size_t k = 1; k <= trail; ++k) {
            if (!isContinuation(bytes[i + k]))
                return std::nullopt;
            cp = (cp << 6) | (bytes[i + k] & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i += trail + 1;
    }
    return out;
}

std::optional<std::u16string> decodeSingleByte(const unsigned char* bytes, size_t count, unsigned limit)
{
    std::u16string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] > limit)
            return std::nullopt;
        out.push_back(char16_t(bytes[i]));
    }
    return out;
}

std::optional<std::string> encodeUtf8(const std::u16string& units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            return std::nullopt;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> encodeSingleByte(const std::u16string& units, unsigned limit)
{
    std::string out;
    out.reserve(units.size());
    for (char16_t unit : units) {
        if (unit > limit)
            return std::nullopt;
        out.push_back(char(unit));
    }
    return out;
}

unsigned singleByteLimit(CFStringEncoding encoding)
{
    return encoding == kCFStringEncodingISOLatin1 ? 0xFF : 0x7F;
}

bool isSingleByte(CFStringEncoding encoding)
{
    return encoding == kCFStringEncodingASCII || encoding == kCFStringEncodingISOLatin1 ||
        encoding == kCFStringEncodingMacRoman;
}

std::optional<std::u16string> decode(const unsigned char* bytes, size_t count, CFStringEncoding encoding,
                                     bool skipByteOrderMark)
{
    if (encoding == kCFStringEncodingUTF8) {
        if (skipByteOrderMark && count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            bytes += 3;
            count -= 3;
        }
        return decodeUtf8(bytes, count);
    }
    if (isSingleByte(encoding))
        return decodeSingleByte(bytes, count, singleByteLimit(encoding));
    return std::nullopt;
}

std::optional<std::string> encode(const std::u16string& units, CFStringEncoding encoding)
{
    if (encoding == kCFStringEncodingUTF8)
        return encodeUtf8(units);
    if (isSingleByte(encoding))
        return encodeSingleByte(units, singleByteLimit(encoding));
    return std::nullopt;
}

} // namespace
} // namespace platform::cf

using platform::cf::String;

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars)
{
    if (numChars < 0 || (!chars && numChars > 0))
        return nullptr;
    std::u16string units(chars ? chars : u"", chars ? size_t(numChars) : 0);
    return new String(std::move(units), true);
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes, CFStringEncoding encoding,
                                    Boolean isExternalRepresentation)
{
    if (numBytes < 0 || (!bytes && numBytes > 0))
        return nullptr;
    auto units = platform::cf::decode(bytes, size_t(numBytes), encoding, isExternalRepresentation);
    if (!units)
        return nullptr;
    return new String(std::move(*units), false);
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding)
{
    if (!cStr)
        return nullptr;
    return CFStringCreateWithBytes(alloc, reinterpret_cast<const UInt8*>(cStr), CFIndex(std::strlen(cStr)), encoding,
                                   false);
}

CFIndex CFStringGetLength(CFStringRef theString)
{
    return theString ? CFIndex(theString->characters().size()) : 0;
}

const UniChar* CFStringGetCharactersPtr(CFStringRef theString)
{
    if (!theString || !theString->offersDirectAccess())
        return nullptr;
    return theString->characters().data();
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer)
{
    if (!theString || !buffer || range.location < 0 || range.length <= 0)
        return;
    const auto& units = theString->characters();
    const size_t begin = std::min(size_t(range.location), units.size());
    const size_t end = std::min(begin + size_t(range.length), units.size());
    std::copy(units.begin() + begin, units.begin() + end, buffer);
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
    if (!buffer || bufferSize <= 0)
        return false;
    buffer[0] = '\0';
    if (!theString)
        return false;
    auto bytes = platform::cf::encode(theString->characters(), encoding);
    if (!bytes || bytes->size() + 1 > size_t(bufferSize))
        return false;
    std::memcpy(buffer, bytes->c_str(), bytes->size() + 1);
    return true;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
    if (length < 0)
        return 0;
    return encoding == kCFStringEncodingUTF8 ? length * 3 : length;
}

namespace platform::cf {

bool String::equals(const Object& other) const
{
    return m_characters == static_cast<const String&>(other).m_characters;
}

std::size_t String::hash() const
{
    return std::hash<std::u16string>()(m_characters);
}

std::string String::utf8() const
{
    std::string out;
    out.reserve(m_characters.size());
    for (size_t i = 0; i < m_characters.size(); ++i) {
        char32_t cp = m_characters[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < m_characters.size() && m_characters[i + 1] >= 0xDC00 &&
            m_characters[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (m_characters[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

const String* String::createFromUTF8(const std::string& text)
{
    CFStringRef exact = CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                                                static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8, false);
    if (exact)
        return exact;
    // Replace each undecodable byte by U+FFFD, keeping what decodes.
    std::u16string characters;
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 1;
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        CFStringRef piece = nullptr;
        if (i + length <= text.size())
            piece = CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data() + i),
                                            static_cast<CFIndex>(length), kCFStringEncodingUTF8, false);
        if (piece) {
            characters += piece->characters();
            CFRelease(piece);
            i += length;
        } else {
            characters += u'\uFFFD';
            ++i;
        }
    }
    return new String(std::move(characters), true);
}

} // namespace platform::cf

CFTypeID CFStringGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::String);
}

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef theString)
{
    return new platform::cf::String(theString ? theString->characters() : std::u16string(), true);
}

void CFStringCapitalize(CFMutableStringRef theString, const platform::cf::Locale* locale)
{
    if (theString == nullptr)
        return;
    const std::string& id = locale ? locale->identifier() : std::string();
    const bool dottedCapitalI = id.rfind("tr", 0) == 0 || id.rfind("az", 0) == 0;
    const std::string text = theString->utf8();
    std::string out;
    bool wordStart = true;
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        gunichar mapped = c;
        if (!g_unichar_isalnum(c) && !g_unichar_ismark(c)) {
            wordStart = true;
        } else if (wordStart) {
            mapped = (dottedCapitalI && c == 'i') ? 0x130 : g_unichar_totitle(c);
            wordStart = false;
        } else {
            mapped = (dottedCapitalI && c == 'I') ? 0x131 : g_unichar_tolower(c);
        }
        char buffer[6];
        out.append(buffer, static_cast<size_t>(g_unichar_to_utf8(mapped, buffer)));
    }
    CFStringRef result = platform::cf::String::createFromUTF8(out);
    theString->setCharacters(result->characters());
    CFRelease(result);
}

void CFStringNormalize(CFMutableStringRef theString, CFStringNormalizationForm theForm)
{
    if (theString == nullptr)
        return;
    GNormalizeMode mode = G_NORMALIZE_DEFAULT_COMPOSE;
    switch (theForm) {
    case kCFStringNormalizationFormD: mode = G_NORMALIZE_DEFAULT; break;
    case kCFStringNormalizationFormKD: mode = G_NORMALIZE_ALL; break;
    case kCFStringNormalizationFormC: mode = G_NORMALIZE_DEFAULT_COMPOSE; break;
    case kCFStringNormalizationFormKC: mode = G_NORMALIZE_ALL_COMPOSE; break;
    default: return;
    }
    const std::string text = theString->utf8();
    gchar* normalized = g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), mode);
    if (normalized == nullptr)
        return;
    CFStringRef result = platform::cf::String::createFromUTF8(normalized);
    g_free(normalized);
    theString->setCharacters(result->characters());
    CFRelease(result);
}

Boolean CFStringGetFileSystemRepresentation(CFStringRef string, char* buffer, CFIndex maxBufLen)
{
    if (string == nullptr || buffer == nullptr || maxBufLen <= 0)
        return false;
    const std::string text = string->utf8();
    if (static_cast<CFIndex>(text.size()) >= maxBufLen) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

CFIndex CFStringGetMaximumSizeOfFileSystemRepresentation(CFStringRef string)
{
    return string ? static_cast<CFIndex>(string->characters().size()) * 3 + 1 : 0;
}
