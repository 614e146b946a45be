// Fuzz target: arbitrary bytes parsed as a style sheet, as a buffer with a
// byte-order-mark check and as text. Every path of the grammar and its error
// recovery must end without crashing, reading out of bounds or looping.
#include "TOV/StyleParser2.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string const text(reinterpret_cast<char const*>(data), size);
    {
        CV::TOV::StyleParser2 parser;
        parser.processString(text);
        for (auto const& rule : parser.getRules())
            (void)rule.selectors.size();
    }
    {
        CV::TOV::StyleParser2 parser;
        parser.processBuffer(text, "fuzz.txt");
    }
    return 0;
}
