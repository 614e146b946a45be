#pragma once
// One registered file type: display names, extensions (without the dot,
// matched ignoring case) and four-character type codes. Owned by the
// FileTypeManager; callers hold plain pointers.
#include "BAS/FileTypeMacMagic.h"

#include <string>
#include <vector>

namespace CV {
namespace BAS {

struct FileTypeGroupDescr;

struct FileTypeDescr {
    std::string name;
    std::string pluralName;
    FileTypeGroupDescr* group = nullptr; // the type's own group
    std::vector<std::string> extensions;
    std::vector<FileTypeMacMagic> macMagics;
};

} // namespace BAS
} // namespace CV
