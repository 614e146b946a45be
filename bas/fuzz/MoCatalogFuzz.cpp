// Fuzz target: arbitrary bytes read as a message catalogue (.mo, either byte
// order). The reader must stay inside the block whatever its counts and
// offsets say, and take only texts that lie inside it.
#include "BAS/MoCatalogReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that a read past its end is seen.
    const std::vector<std::uint8_t> block(data, data + size);
    std::map<std::string, std::string> texts;
    const std::size_t taken = CV::BAS::MoCatalogReader::read(block.data(), block.size(), texts);
    if (texts.size() > taken)
        std::abort();
    for (const auto& entry : texts) {
        if (entry.first.empty() || entry.first.size() > size || entry.second.size() > size)
            std::abort();
    }
    return 0;
}
