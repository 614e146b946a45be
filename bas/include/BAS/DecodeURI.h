#pragma once
// Percent-decoding of URL text.
#include <string>

namespace CV {
namespace BAS {
namespace util {

// "%XX" (two hexadecimal digits) becomes that byte and '+' a space; other
// bytes pass unchanged. A '%' not followed by two hexadecimal digits makes
// the result "" and writes a warning to the debug trace group "decodeURI".
std::string decodeURI(const std::string& text);

} // namespace util
} // namespace BAS
} // namespace CV
