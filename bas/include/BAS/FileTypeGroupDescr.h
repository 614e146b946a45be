#pragma once
// A named list of file types, offered by file dialogs as one filter.
#include <string>
#include <vector>

namespace CV {
namespace BAS {

struct FileTypeDescr;

struct FileTypeGroupDescr {
    std::string name;
    std::string pluralName;
    std::vector<const FileTypeDescr*> types;
};

} // namespace BAS
} // namespace CV
