#pragma once
// The container cases of the FileManager: names whose subpath addresses an
// item inside a container file. Until containers can be read, an item
// cannot be found: its size is 0 and creation goes on with the file itself.
#include <cstdint>

namespace CV {
namespace BAS {

class FileName;

class FileManagerContainerCase {
public:
    // The size of the item the subpath names, 0 when there is none.
    static int64_t getItemSize(const FileName& name);
    // For an existing container file: whether creating the name is already
    // done (true) or the file must still be created (false).
    static bool isCreated(const FileName& name);

    FileManagerContainerCase() = delete;
};

} // namespace BAS
} // namespace CV
