#pragma once
// Start and stop of the core library, once per process, and the version
// check of the libraries built on it.
#include "BAS/FileTypeMacMagic.h"

#include <cstdint>

namespace CV {
namespace BAS {

class Lib {
public:
    static constexpr int32_t kVersion = 0x2030000;
    static constexpr int32_t kFlavour = 69;

    // Checks the version and flavour the caller was built against (fatal
    // report on a mismatch, and on a second init), records the
    // application's signature and name (a null name keeps the current one)
    // and starts the library's services. A service that fails to start
    // (throws or reports failure) stops them all again: false, and the
    // library stays stopped.
    static bool init(FileTypeMacMagic signature, const char* appName, int version, int flavour);
    // Stops every service, whether it runs or not; the library is stopped
    // afterwards and may be started again.
    static void deInit();
    // Fatal report unless version is kVersion and flavour is kFlavour.
    static void checkVersionAndFlavour(int version, int flavour);
    // Chooses the language of the library's message catalogue (null or
    // empty: the bundle's preferred one). Call before the first message box.
    static void initLocale(const char* code);

    static bool s_bInitialized;
    static bool s_bInitializeDeviceNotifications;

    Lib() = delete;
};

} // namespace BAS
} // namespace CV
