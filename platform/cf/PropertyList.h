#pragma once
// Reading property lists in their XML form: dict, array, string, integer,
// real, true, false (other elements are skipped with their contents).
#include "platform/cf/CFType.h"

#include <cstddef>
#include <string>

namespace platform::cf {

class PropertyList {
public:
    // Containers nest at most this deep; deeper lists are refused.
    static constexpr int kMaxDepth = 512;
    // Files are read only when regular and at most this large.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    // The top-level value (one reference for the caller), or null when the
    // text is not a well-formed property list.
    static CFTypeRef parseXML(const std::string& text);
    // The same for a file; null when it cannot be read. A file that is there
    // but refused (not a regular file, too large) is reported in one line on
    // standard error.
    static CFTypeRef readXMLFile(const std::string& path);
};

} // namespace platform::cf
