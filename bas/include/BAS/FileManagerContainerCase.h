#pragma once
// The container cases of the FileManager: names whose subpath addresses an
// item inside a container file. The size is that of the item the subpath
// resolves to; an existing container that holds the item counts as created.
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
