#pragma once
// Reading property lists in their XML form: dict, array, string, integer,
// real, true, false (other elements are skipped with their contents).
#include "platform/cf/CFType.h"

#include <string>

namespace platform::cf {

class PropertyList {
public:
    // The top-level value (one reference for the caller), or null when the
    // text is not a well-formed property list.
    static CFTypeRef parseXML(const std::string& text);
    // The same for a file; null when it cannot be read.
    static CFTypeRef readXMLFile(const std::string& path);
};

} // namespace platform::cf
