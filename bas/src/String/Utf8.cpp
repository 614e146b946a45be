#include "BAS/Utf8.h"

#include <stdexcept>

namespace CV::BAS::DETAIL {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

std::size_t Utf8::decode(const char* text, const char* end, char32_t& codePoint) noexcept
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t trail = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (std::size_t(end - text) <= trail)
        return 0;
    for (std::size_t k = 1; k <= trail; ++k) {
        if (!isContinuation(bytes[k]))
            return 0;
        value = (value << 6) | (bytes[k] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return trail + 1;
}

std::size_t Utf8::decodeOrThrow(const char* text, const char* end, char32_t& codePoint)
{
    const std::size_t length = decode(text, end, codePoint);
    if (length == 0)
        throw std::out_of_range("Invalid UTF-8 sequence encountered while trying to encode UTF-32 character");
    return length;
}

void Utf8::append(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out.push_back(char(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(char(0xC0 | (codePoint >> 6)));
        out.push_back(char(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(char(0xE0 | (codePoint >> 12)));
        out.push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(char(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (codePoint >> 18)));
        out.push_back(char(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(char(0x80 | (codePoint & 0x3F)));
    }
}

} // namespace CV::BAS::DETAIL
