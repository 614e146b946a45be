#include "platform/cf/CFURL.h"

#include "platform/volumes/ColonPath.h"

#include <cctype>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::cf {

namespace {

const char* const kFileScheme = "file://";

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~';
}

bool mayStandInPath(unsigned char c)
{
    return isUnreserved(c) || std::strchr("/!$&'()*+,;=:@", c) != nullptr;
}

bool mayStandInURL(unsigned char c)
{
    return c != 0 && (isUnreserved(c) || std::strchr(":/?#[]@!$&'()*+,;=", c) != nullptr);
}

std::string currentDirectory()
{
    std::string dir(4096, '\0');
    if (getcwd(dir.data(), dir.size()) == nullptr)
        return "/";
    dir.resize(std::strlen(dir.c_str()));
    return dir;
}

bool hasScheme(const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'))
            return false;
    }
    return std::isalpha(static_cast<unsigned char>(text[0]));
}

// Merges a path-relative reference with the base's folder (no "..").
std::string resolve(const std::string& relative, const std::string& base)
{
    if (relative.empty())
        return base;
    if (hasScheme(relative))
        return relative;
    const size_t schemeEnd = base.find("://");
    const size_t pathStart = schemeEnd == std::string::npos ? 0 : base.find('/', schemeEnd + 3);
    if (relative[0] == '/')
        return base.substr(0, pathStart == std::string::npos ? base.size() : pathStart) + relative;
    const size_t lastSlash = base.rfind('/');
    return base.substr(0, lastSlash == std::string::npos ? 0 : lastSlash + 1) + relative;
}

// Colon paths name volumes by the shared volume list unless a test
// installs another converter.
URL::ColonPathConverter& converterSlot()
{
    static URL::ColonPathConverter s_converter{[](const std::string& colonPath, std::string& posixPath) {
                                                   return volumes::ColonPath::toPosix(colonPath, posixPath);
                                               },
                                               [](const std::string& posixPath, std::string& colonPath) {
                                                   return volumes::ColonPath::fromPosix(posixPath, colonPath);
                                               }};
    return s_converter;
}

} // namespace

URL::URL(std::string text, const URL* base)
    : Object(TypeId::URL)
    , m_text(std::move(text))
    , m_base(base)
{
    if (m_base)
        CFRetain(m_base);
}

URL::~URL()
{
    if (m_string)
        CFRelease(m_string);
    if (m_base)
        CFRelease(m_base);
}

std::string URL::absoluteText() const
{
    return m_base ? resolve(m_text, m_base->absoluteText()) : m_text;
}

std::string URL::scheme() const
{
    const std::string text = absoluteText();
    return hasScheme(text) ? text.substr(0, text.find(':')) : std::string();
}

std::string URL::posixPath() const
{
    const std::string text = absoluteText();
    if (text.compare(0, std::strlen(kFileScheme), kFileScheme) != 0)
        return std::string();
    // file://host/path: the path begins at the first '/' after the host.
    const size_t pathStart = text.find('/', std::strlen(kFileScheme));
    if (pathStart == std::string::npos)
        return std::string();
    std::string path = text.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    std::string decoded;
    return decodePercent(path, decoded) ? decoded : std::string();
}

bool URL::hasDirectoryPath() const
{
    std::string text = absoluteText();
    text = text.substr(0, text.find_first_of("?#"));
    return !text.empty() && text.back() == '/';
}

CFStringRef URL::string() const
{
    if (m_string == nullptr)
        m_string = String::createFromUTF8(m_text);
    return m_string;
}

bool URL::equals(const Object& other) const
{
    const auto& url = static_cast<const URL&>(other);
    const bool sameBase = m_base == url.m_base || (m_base && url.m_base && m_base->equals(*url.m_base));
    return m_text == url.m_text && sameBase;
}

std::size_t URL::hash() const
{
    return std::hash<std::string>()(m_text);
}

const URL* URL::fromRef(CFTypeRef ref) noexcept
{
    return Object::fromRefOfType<URL>(ref, TypeId::URL);
}

const URL* URL::createWithPosixPath(const std::string& path, bool isDirectory)
{
    if (path.empty())
        return nullptr;
    std::string absolute = path[0] == '/' ? path : currentDirectory() + "/" + path;
    if (isDirectory && absolute.back() != '/')
        absolute += '/';
    return new URL(kFileScheme + encodePath(absolute), nullptr);
}

std::string URL::encodePath(const std::string& path)
{
    static const char* const digits = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        if (mayStandInPath(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xF];
        }
    }
    return out;
}

bool URL::decodePercent(const std::string& text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2]))
            return false;
        out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
        i += 2;
    }
    return true;
}

bool URL::isWellFormed(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2]))
                return false;
            i += 2;
        } else if (!mayStandInURL(c)) {
            return false;
        }
    }
    return true;
}

void URL::setColonPathConverter(ColonPathConverter converter)
{
    converterSlot() = std::move(converter);
}

const URL::ColonPathConverter& URL::colonPathConverter()
{
    return converterSlot();
}

} // namespace platform::cf

using platform::cf::String;
using platform::cf::URL;

namespace {

std::string utf8Of(CFStringRef string)
{
    return string ? string->utf8() : std::string();
}

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

} // namespace

CFTypeID CFURLGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::URL);
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory)
{
    std::string path = utf8Of(filePath);
    if (path.empty())
        return nullptr;
    if (pathStyle == kCFURLHFSPathStyle) {
        const auto& converter = URL::colonPathConverter();
        std::string posix;
        if (!converter.toPosix || !converter.toPosix(path, posix))
            return nullptr;
        path = posix;
    } else if (pathStyle != kCFURLPOSIXPathStyle) {
        return nullptr;
    }
    return URL::createWithPosixPath(path, isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer, CFIndex bufLen,
                                                 Boolean isDirectory)
{
    if (buffer == nullptr || bufLen <= 0)
        return nullptr;
    return URL::createWithPosixPath(std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen)),
                                    isDirectory);
}

CFURLRef CFURLCreateWithString(CFAllocatorRef, CFStringRef URLString, CFURLRef baseURL)
{
    const std::string text = utf8Of(URLString);
    if (text.empty() || !URL::isWellFormed(text))
        return nullptr;
    return new URL(text, baseURL);
}

CFURLRef CFURLCreateWithBytes(CFAllocatorRef alloc, const UInt8* URLBytes, CFIndex length, CFStringEncoding encoding,
                              CFURLRef baseURL)
{
    CFStringRef string = CFStringCreateWithBytes(alloc, URLBytes, length, encoding, false);
    if (string == nullptr)
        return nullptr;
    CFURLRef url = CFURLCreateWithString(alloc, string, baseURL);
    CFRelease(string);
    return url;
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url, CFStringRef pathComponent,
                                               Boolean isDirectory)
{
    if (url == nullptr || pathComponent == nullptr)
        return nullptr;
    std::string text = url->absoluteText();
    if (text.empty() || text.back() != '/')
        text += '/';
    text += URL::encodePath(utf8Of(pathComponent));
    if (isDirectory && text.back() != '/')
        text += '/';
    return new URL(text, nullptr);
}

CFURLRef CFURLCopyAbsoluteURL(CFURLRef relativeURL)
{
    return relativeURL ? new URL(relativeURL->absoluteText(), nullptr) : nullptr;
}

CFStringRef CFURLGetString(CFURLRef anURL)
{
    return anURL ? anURL->string() : nullptr;
}

CFURLRef CFURLGetBaseURL(CFURLRef anURL)
{
    return anURL ? anURL->base() : nullptr;
}

CFIndex CFURLGetBytes(CFURLRef url, UInt8* buffer, CFIndex bufferLength)
{
    if (url == nullptr)
        return -1;
    const std::string& text = url->text();
    const auto size = static_cast<CFIndex>(text.size());
    if (buffer == nullptr)
        return size;
    if (bufferLength < size)
        return -1;
    std::memcpy(buffer, text.data(), text.size());
    return size;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle)
{
    if (anURL == nullptr)
        return nullptr;
    std::string path = anURL->posixPath();
    if (path.empty())
        return nullptr;
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (pathStyle == kCFURLHFSPathStyle) {
        const auto& converter = URL::colonPathConverter();
        std::string colon;
        if (!converter.fromPosix || !converter.fromPosix(path, colon))
            return nullptr;
        path = colon;
    } else if (pathStyle != kCFURLPOSIXPathStyle) {
        return nullptr;
    }
    return String::createFromUTF8(path);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen)
{
    if (url == nullptr || buffer == nullptr)
        return false;
    std::string path = url->posixPath();
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || static_cast<CFIndex>(path.size()) >= maxBufLen)
        return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url)
{
    if (url == nullptr)
        return nullptr;
    std::string path = url->posixPath();
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const size_t slash = path.rfind('/');
    return String::createFromUTF8(slash == std::string::npos || path == "/" ? path : path.substr(slash + 1));
}

CFStringRef CFURLCopyScheme(CFURLRef anURL)
{
    if (anURL == nullptr)
        return nullptr;
    const std::string scheme = anURL->scheme();
    return scheme.empty() ? nullptr : String::createFromUTF8(scheme);
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL)
{
    return anURL && anURL->hasDirectoryPath();
}

Boolean CFURLResourceIsReachable(CFURLRef url, void*)
{
    return url && !url->posixPath().empty() && exists(url->posixPath());
}
