// The entry function of a fuzz target made for testing the replay: it takes
// every input except one that begins with "fail", which it reports as a
// fault.
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return size >= 4 && std::memcmp(data, "fail", 4) == 0 ? 1 : 0;
}
