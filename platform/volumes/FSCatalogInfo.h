#pragma once
// What the file system tells about an item (FileSystemItem::getCatalogInfo).
// Linux keeps no Finder type or creator codes and has no aliases: files
// report '????' for both and no Finder flags.
#include <cstdint>

struct FileInfo {
    uint32_t fileType = 0x3F3F3F3Fu;
    uint32_t fileCreator = 0x3F3F3F3Fu;
    uint16_t finderFlags = 0;
};

struct FSCatalogInfo {
    static constexpr uint16_t kNodeIsDirectoryMask = 0x10;
    static constexpr uint16_t kIsAlias = 0x8000;
    static constexpr uint16_t kHasBundle = 0x2000;

    uint16_t nodeFlags = 0;
    FileInfo finderInfo;
};
