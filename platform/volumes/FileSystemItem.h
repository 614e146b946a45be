#pragma once
// File-system items by POSIX path: references, catalogue information,
// packages and file creation.
//
// A package is a folder whose name has an extension (a '.' after its first
// character) and that holds a folder Contents; its type and creator codes
// are the first eight bytes of Contents/PkgInfo ('????' each when that file
// is missing or shorter).
#include "platform/volumes/FSCatalogInfo.h"
#include "platform/volumes/FSRef.h"

#include <cstdint>
#include <string>

namespace platform::volumes {

class FileSystemItem {
public:
    // The reference of the item at path (symbolic links followed); false when
    // the path is empty or names nothing. isDirectory is written when given.
    static bool makeRef(const std::string& posixPath, FSRef& ref, bool* isDirectory = nullptr);
    // False when the reference names nothing (any more).
    static bool getCatalogInfo(const FSRef& ref, FSCatalogInfo& info);
    // Whether the folder is a package; when it is, its codes.
    static bool getPackageInfo(const std::string& folder, uint32_t& packageType, uint32_t& packageCreator);
    static bool isFolder(const std::string& posixPath);
    // Creates an empty file at path unless something is there already; true
    // when the file exists afterwards.
    static bool createFile(const std::string& posixPath);

    FileSystemItem() = delete;
};

} // namespace platform::volumes
