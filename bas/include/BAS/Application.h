#pragma once
// The application's identity: its name (the fallback title of message boxes)
// and its four-character signature (creator code of new files, seed of the
// drag-and-drop format ids).
#include "BAS/FileTypeMacMagic.h"

#include <cstddef>

namespace CV {
namespace BAS {

class Application {
public:
    static constexpr std::size_t kNameCapacity = 256;

    static char s_pAppName[kNameCapacity];
    static FileTypeMacMagic s_appSignature;

    // Copies at most kNameCapacity - 1 bytes of name and always terminates;
    // a null name leaves the stored name unchanged.
    static void setName(const char* name);
    static void setSignature(FileTypeMacMagic signature);

    Application() = delete;
};

} // namespace BAS
} // namespace CV
