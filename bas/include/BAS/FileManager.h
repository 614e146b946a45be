#pragma once
// File operations on FileNames. No state.
#include "BAS/FileName.h"

#include <cstdint>

namespace CV {
namespace BAS {

class FileManager {
public:
    // Creates the file a file-mode name with a type names, unless it exists
    // already (an existing folder counts as the file: a package). False when
    // the parent folder does not exist or the file cannot be made.
    static bool createFile(const FileName& name);
    // Size of the file, or of the container item the subpath names; 0 when
    // it cannot be read.
    static int64_t getFileSize(const FileName& name);
    // Whether the name's volume and directory exist as a folder.
    static bool existsDir(const FileName& name);
    // Sets name to the process's current folder (a directory name).
    static bool getCurDir(FileName& name);

    FileManager() = delete;
};

} // namespace BAS
} // namespace CV
