#include "updater/app/CommandLineCopy.h"

#include <cstring>

namespace CV {

void CommandLineCopy::assign(int argc, char const* const* argv)
{
    std::size_t const count = argc > 0 ? static_cast<std::size_t>(argc) : 0;
    std::size_t total = count;
    for (std::size_t i = 0; i < count; ++i)
        total += std::strlen(argv[i]);
    m_buffer.assign(total, '\0');
    m_args.assign(count + 1, nullptr);
    char* next = m_buffer.data();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t const length = std::strlen(argv[i]) + 1;
        std::memcpy(next, argv[i], length);
        m_args[i] = next;
        next += length;
    }
}

} // namespace CV
