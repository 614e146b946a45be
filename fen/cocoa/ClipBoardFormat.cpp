#include "FEN/ClipBoardFormat.h"

#include "BAS/FileTypeManager.h"
#include "BAS/StringUtil.h"
#include "BAS/URI.h"
#include "platform/pasteboard/Pasteboard.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <random>

namespace CV {
namespace FEN {

const char* const ClipBoardFormatHandle::s_StdTextFormat = "calvarine.unicodetext";
const char* const ClipBoardFormatHandle::s_StdFileListFormat = "calvarine.filelist";

namespace {

// Appends the UTF-16 form of one code point.
void appendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(char16_t(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(char16_t(0xD800 + (cp >> 10)));
    out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
}

// The pointers published under a token, while their format lives.
struct Published {
    DragDropData const* data;
    WindowBase* window;
};

std::map<InternalClipBoardFormat::Token, Published>& registry()
{
    static std::map<InternalClipBoardFormat::Token, Published> s_registry;
    return s_registry;
}

InternalClipBoardFormat::Token newToken()
{
    static std::random_device s_random;
    InternalClipBoardFormat::Token token;
    do {
        for (std::size_t i = 0; i < token.size(); i += 4) {
            const unsigned value = s_random();
            std::memcpy(token.data() + i, &value, 4);
        }
    } while (registry().count(token) != 0);
    return token;
}

} // namespace

std::u16string DETAIL::utf8ToUtf16(std::string const& text)
{
    const std::string valid = BAS::StringUtil::fromUTF_filter<char>(text);
    std::u16string out;
    out.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size();) {
        const unsigned char lead = static_cast<unsigned char>(valid[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (int k = 1; k < length && i + std::size_t(k) < valid.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(valid[i + std::size_t(k)]) & 0x3F);
        appendCodePoint(out, cp);
        i += std::size_t(length);
    }
    return out;
}

ClipBoardFormatHandle::ClipBoardFormatHandle(const char* formatName)
{
    if (formatName == s_StdTextFormat)
        m_type = static_cast<CFStringRef>(CFRetain(kUTTypeUTF16PlainText));
    else if (formatName == s_StdFileListFormat)
        m_type = static_cast<CFStringRef>(CFRetain(kUTTypeFileURL));
    else
        m_type = platform::cf::String::createFromUTF8(formatName != nullptr ? formatName : "");
}

ClipBoardFormatHandle::~ClipBoardFormatHandle()
{
    CFRelease(m_type);
}

ClipBoardFormat::~ClipBoardFormat() = default;

void ClipBoardFormat::notifyNumItems(std::size_t) { }

bool ClipBoardFormat::canHoldMultipleItems() const
{
    return false;
}

bool RawDataClipBoardFormat::addRawData(unsigned char const* bytes, long length)
{
    if (length < 0 || (bytes == nullptr && length > 0))
        return false;
    return readRawData(bytes, std::size_t(length));
}

void RawDataClipBoardFormat::writeOSData(std::vector<CFDataRef>& blocks) const
{
    std::vector<UInt8> bytes(getRawDataSize());
    if (!bytes.empty())
        writeRawData(bytes.data());
    blocks.push_back(CFDataCreate(nullptr, bytes.data(), CFIndex(bytes.size())));
}

ClipBoardFormatHandle const& TextClipBoardFormat::FormatHandle()
{
    static ClipBoardFormatHandle s_handle(ClipBoardFormatHandle::s_StdTextFormat);
    return s_handle;
}

TextClipBoardFormat::TextClipBoardFormat()
    : RawDataClipBoardFormat(FormatHandle())
{
}

void TextClipBoardFormat::setValue(std::string const& utf8)
{
    m_text = DETAIL::utf8ToUtf16(utf8);
}

std::string TextClipBoardFormat::getValue() const
{
    return BAS::StringUtil::fromUTF_filter<char16_t>(m_text);
}

bool TextClipBoardFormat::readRawData(void const* data, std::size_t length)
{
    std::u16string text(length / 2, u'\0');
    if (!text.empty())
        std::memcpy(&text[0], data, text.size() * 2); // the block may be unaligned
    text.resize(std::min(text.size(), text.find(u'\0')));
    std::u16string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        joined.push_back(text[i]);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    if (!joined.empty() && joined.front() == char16_t(0xFEFF))
        joined.erase(0, 1);
    m_text = std::move(joined);
    return true;
}

void TextClipBoardFormat::writeRawData(void* destination) const
{
    std::memset(destination, 0, getRawDataSize());
    if (!m_text.empty())
        std::memcpy(destination, m_text.data(), m_text.size() * 2);
}

ClipBoardFormatHandle const& FileListClipBoardFormat::FormatHandle()
{
    static ClipBoardFormatHandle s_handle(ClipBoardFormatHandle::s_StdFileListFormat);
    return s_handle;
}

FileListClipBoardFormat::FileListClipBoardFormat()
    : ClipBoardFormat(FormatHandle())
{
}

void FileListClipBoardFormat::notifyNumItems(std::size_t count)
{
    m_files.reserve(m_files.size() + count);
}

bool FileListClipBoardFormat::addRawData(unsigned char const* bytes, long length)
{
    if (bytes == nullptr || length <= 0)
        return false;
    const std::string text(reinterpret_cast<const char*>(bytes), std::size_t(length));
    BAS::URI uri;
    if (!uri.createCanonicalLocation(BAS::CharSequence<char>(text.data(), text.size())))
        return false;
    BAS::FileName name;
    if (!uri.getFileName(name))
        return false;
    BAS::FileTypeManager::determineType(name);
    m_files.push_back(name);
    return true;
}

void FileListClipBoardFormat::writeOSData(std::vector<CFDataRef>& blocks) const
{
    for (BAS::FileName const& file : m_files) {
        const std::string url = BAS::URI(file).get();
        if (url.empty())
            continue;
        blocks.push_back(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(url.data()), CFIndex(url.size())));
    }
}

ClipBoardFormatHandle const& InternalClipBoardFormat::FormatHandle()
{
    static const std::string s_name = formatName();
    static ClipBoardFormatHandle s_handle(s_name.c_str());
    return s_handle;
}

std::string InternalClipBoardFormat::formatName()
{
    char address[32];
    std::snprintf(
        address, sizeof address, "0x%llx",
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(&ClipBoardFormatHandle::s_StdFileListFormat)));
    return std::string("calvarine.") + "application.internalclipboardformat." + address;
}

InternalClipBoardFormat::InternalClipBoardFormat()
    : RawDataClipBoardFormat(FormatHandle())
{
}

InternalClipBoardFormat::~InternalClipBoardFormat()
{
    if (m_bPublished)
        registry().erase(m_token);
}

bool InternalClipBoardFormat::readRawData(void const* data, std::size_t length)
{
    if (length != kTokenSize || data == nullptr)
        return false;
    Token token;
    std::memcpy(token.data(), data, kTokenSize);
    auto found = registry().find(token);
    if (found == registry().end())
        return false;
    m_pData = found->second.data;
    m_pWindow = found->second.window;
    return true;
}

void InternalClipBoardFormat::writeRawData(void* destination) const
{
    if (!m_bPublished) {
        m_token = newToken();
        m_bPublished = true;
    }
    registry()[m_token] = Published{m_pData, m_pWindow};
    std::memcpy(destination, m_token.data(), kTokenSize);
}

} // namespace FEN
} // namespace CV
