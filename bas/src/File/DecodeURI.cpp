#include "BAS/DecodeURI.h"

#include "BAS/DebugTrace.h"

namespace CV {
namespace BAS {
namespace util {

namespace {

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string decodeURI(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
            continue;
        }
        if (c != '%') {
            out += c;
            continue;
        }
        const int high = i + 2 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexDigitValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            DebugTrace::printLine("decodeURI", "Warning: could not decode URI " + text);
            return std::string();
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

} // namespace util
} // namespace BAS
} // namespace CV
