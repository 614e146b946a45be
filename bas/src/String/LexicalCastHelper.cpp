#include "BAS/LexicalCastHelper.h"

#include "BAS/StringUtil.h"

#include <boost/interprocess/streams/bufferstream.hpp>

#include <cctype>

namespace CV::BAS::DETAIL {

namespace {

// The stream would read "-1" as the largest value; a leading '+' it reads as
// the number itself ("+7" is 7).
bool minusFollows(const std::string& text, std::size_t startByte)
{
    std::size_t at = startByte;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    return at < text.size() && text[at] == '-';
}

} // namespace

template <>
void LexicalCastHelper<unsigned int>(const std::string& text, unsigned int& value, bool* ok, std::size_t& consumed,
                                     std::size_t startByte, bool hex)
{
    value = 0;
    const std::string ascii = StringUtil::toAscii(text);
    boost::interprocess::basic_ibufferstream<char> stream(ascii.data(), ascii.size());
    if (startByte != 0)
        stream.seekg(std::streamoff(startByte));
    if (hex)
        stream.setf(std::ios_base::hex, std::ios_base::basefield);
    else
        stream.setf(std::ios_base::dec, std::ios_base::basefield);
    if (stream && minusFollows(ascii, startByte))
        stream.setstate(std::ios_base::failbit);
    else
        stream >> value;

    const bool parsed = !stream.fail();
    if (ok)
        *ok = parsed;
    if (!parsed) {
        value = 0;
        consumed = std::string::npos;
    } else if (stream.eof()) {
        consumed = ascii.size();
    } else {
        consumed = std::size_t(stream.tellg());
    }
}

} // namespace CV::BAS::DETAIL
