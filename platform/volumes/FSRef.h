#pragma once
// A reference to an existing file-system item: its canonical absolute path
// (symbolic links followed, "." and ".." resolved). An empty path is no
// reference. Made by FileSystemItem::makeRef.
#include <string>

struct FSRef {
    std::string path;
};
