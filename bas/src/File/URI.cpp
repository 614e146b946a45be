#include "BAS/URI.h"

#include "BAS/DecodeURI.h"
#include "BAS/FileName.h"
#include "platform/volumes/ColonPath.h"

#include <vector>

namespace CV {
namespace BAS {

using platform::volumes::ColonPath;

namespace {

// Each byte below 0x80 stands alone; 110xxxxx, 1110xxxx and 11110xxx lead
// 1, 2 or 3 bytes 10xxxxxx; anything else, or a cut sequence, is malformed.
bool isWellFormedUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t following = 0;
        if (lead < 0x80)
            following = 0;
        else if ((lead & 0xE0) == 0xC0)
            following = 1;
        else if ((lead & 0xF0) == 0xE0)
            following = 2;
        else if ((lead & 0xF8) == 0xF0)
            following = 3;
        else
            return false;
        if (i + following >= text.size())
            return false; // cut short
        for (std::size_t k = 1; k <= following; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += following + 1;
    }
    return true;
}

} // namespace

URI::URI(const CFURLRef& url)
{
    reset(url ? static_cast<CFURLRef>(CFRetain(url)) : nullptr);
}

URI::URI(const FileName& name)
{
    createFileLocation(name);
}

URI::URI(const URI& other)
{
    reset(other.m_url ? static_cast<CFURLRef>(CFRetain(other.m_url)) : nullptr);
}

URI& URI::operator=(const URI& other)
{
    if (this != &other)
        reset(other.m_url ? static_cast<CFURLRef>(CFRetain(other.m_url)) : nullptr);
    return *this;
}

URI::~URI()
{
    reset(nullptr);
}

void URI::reset(CFURLRef url)
{
    if (m_url)
        CFRelease(m_url);
    m_url = url;
}

void URI::createFileLocation(const FileName& name)
{
    std::string posix;
    if (name.full.empty() || !ColonPath::toPosix(name.full, posix)) {
        reset(nullptr);
        return;
    }
    reset(platform::cf::URL::createWithPosixPath(posix, name.mode == FileName::eDirectory));
}

bool URI::createCanonicalLocation(const CharSequence<char>& text)
{
    reset(CFURLCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()), CFIndex(text.size()),
                               kCFStringEncodingUTF8, nullptr));
    return m_url != nullptr;
}

std::string URI::get() const
{
    if (!m_url)
        return std::string();
    const CFIndex length = CFURLGetBytes(m_url, nullptr, 0);
    if (length <= 0)
        return std::string();
    std::vector<UInt8> bytes(static_cast<std::size_t>(length));
    if (CFURLGetBytes(m_url, bytes.data(), length) != length)
        return std::string();
    return std::string(bytes.begin(), bytes.end());
}

bool URI::getFileNameString(std::string& out)
{
    if (!m_url)
        return false;
    if (!isWellFormedUtf8(util::decodeURI(get()))) {
        out.clear();
        return false;
    }
    std::string posix = m_url->posixPath();
    std::string colon;
    if (posix.empty() || !ColonPath::fromPosix(posix, colon))
        return false;
    out = colon;
    return true;
}

bool URI::getFileName(FileName& name)
{
    std::string colon;
    if (!getFileNameString(colon))
        return false;
    name.mode = FileName::eNone;
    name.full = colon;
    name.init();
    return true;
}

} // namespace BAS
} // namespace CV
