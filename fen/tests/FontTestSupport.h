#pragma once
// Shared helpers of the font tests: the generated fonts with known metrics.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace CV {
namespace FEN {
namespace TEST {

inline std::string testFontPath(const std::string& name)
{
    return std::string(VARANTO_TEST_FONT_DIR) + "/" + name;
}

inline std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> testFontBytes(const std::string& name)
{
    return readFile(testFontPath(name));
}

} // namespace TEST
} // namespace FEN
} // namespace CV
