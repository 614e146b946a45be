// Fuzz target: arbitrary text read as a mount table (either form). Every
// line must be taken or skipped without reading outside the text.
#include "platform/workspace/MountTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const platform::MountEntry& entry : platform::MountTable::parse(text)) {
        // Decoding only ever shortens a field.
        if (entry.mountPoint.size() > size || entry.source.size() > size || entry.fileSystemType.size() > size)
            std::abort();
    }
    return 0;
}
