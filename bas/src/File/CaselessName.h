#pragma once
// Case-insensitive equality of file-name texts that never throws. Linux
// names are arbitrary bytes: a text that is not well-formed UTF-8 (or holds
// a NUL) equals nothing.
#include <string>

namespace CV::BAS::DETAIL {

class CaselessName {
public:
    static bool isWellFormedUtf8(const std::string& text) noexcept;
    static bool equal(const std::string& a, const std::string& b) noexcept;

    CaselessName() = delete;
};

} // namespace CV::BAS::DETAIL
