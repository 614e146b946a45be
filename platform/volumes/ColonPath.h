#pragma once
// Conversion between colon paths ("Volume:folder:file") and POSIX paths.
//
// Colon to POSIX: the first component is a volume name and stands for its
// mount point (looked up by VolumeList::findByName); the others follow as
// folders. A path beginning with ':' is relative to the current folder; an
// empty component inside the path ("a::b") goes up one folder; a final ':'
// only marks a folder. Inside a component '/' becomes ':'.
//
// POSIX to colon: a relative path is taken from the current folder; "."
// and ".." and repeated '/' are resolved on the text; the volume holding the
// path (VolumeList::findByPath) gives the first component, the rest follows
// with ':' inside a name shown as '/'. The result has no trailing ':'.
//
// Bytes pass unchanged in both directions: names are neither normalised nor
// required to be UTF-8.
#include "platform/volumes/Volume.h"

#include <string>
#include <vector>

namespace platform::volumes {

class ColonPath {
public:
    // False for an empty path or an unknown volume. The result has no
    // trailing '/' except for the root folder "/"; a relative colon path
    // gives a relative POSIX path ("" for ":" alone gives ".").
    static bool toPosix(const std::string& colonPath, std::string& posixPath);
    static bool toPosix(const std::string& colonPath, std::string& posixPath, const std::vector<Volume>& volumes);

    // False for an empty path (or when the current folder cannot be read for
    // a relative one).
    static bool fromPosix(const std::string& posixPath, std::string& colonPath);
    static bool fromPosix(const std::string& posixPath, std::string& colonPath, const std::vector<Volume>& volumes);

    // An absolute path with ".", ".." and repeated '/' resolved on the text;
    // relative paths are taken from the current folder. Empty on failure.
    static std::string normalisedAbsolute(const std::string& posixPath);

    ColonPath() = delete;
};

} // namespace platform::volumes
