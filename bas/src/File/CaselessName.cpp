#include "CaselessName.h"

#include "BAS/StringUtil.h"
#include "BAS/Utf8.h"

namespace CV::BAS::DETAIL {

bool CaselessName::isWellFormedUtf8(const std::string& text) noexcept
{
    const char* at = text.data();
    const char* end = at + text.size();
    while (at < end) {
        char32_t codePoint = 0;
        const std::size_t length = Utf8::decode(at, end, codePoint);
        if (length == 0 || codePoint == 0)
            return false;
        at += length;
    }
    return true;
}

bool CaselessName::equal(const std::string& a, const std::string& b) noexcept
{
    if (!isWellFormedUtf8(a) || !isWellFormedUtf8(b))
        return false;
    try {
        return wstrcmpc<char>(a.c_str(), b.c_str(), false) == 0;
    } catch (...) {
        return false;
    }
}

} // namespace CV::BAS::DETAIL
