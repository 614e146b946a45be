#include "BAS/StringCF.h"

#include "BAS/StringUtil.h"

#include <vector>

namespace CV::BAS {

StringCF::StringCF(CFStringRef string)
{
    const CFIndex length = CFStringGetLength(string);
    if (!string || length <= 0)
        return;
    if (const UniChar* direct = CFStringGetCharactersPtr(string)) {
        m_text = StringUtil::fromUTF<char16_t>(direct, std::size_t(length));
        return;
    }
    std::vector<UniChar> copy(static_cast<std::size_t>(length), UniChar(0));
    CFStringGetCharacters(string, CFRangeMake(0, length), copy.data());
    m_text = StringUtil::fromUTF<char16_t>(copy.data(), copy.size());
}

} // namespace CV::BAS
