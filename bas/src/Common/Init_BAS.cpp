// Start-up and shut-down of the core library, and the version check of the
// libraries built on it.
//
// The checks report the source path and line numbers the libraries built on
// this one have always reported for them (the tests hold them there).
#include "BAS/Lib.h"

#include "BAS/Application.h"
#include "BAS/Assertion.h"
#include "BAS/Authentication.h"
#include "BAS/CriticalSection.h"
#include "BAS/DebugTrace.h"
#include "BAS/DeviceNotification.h"
#include "BAS/FileTypeManager.h"
#include "BAS/GetTextLoader.h"
#include "BAS/Registry.h"
#include "BAS/SystemInfo.h"
#include "BAS/TLS.h"
#include "BAS/VolumeManager.h"

namespace CV {
namespace BAS {

bool Lib::s_bInitialized = false;
bool Lib::s_bInitializeDeviceNotifications = true;

namespace {

constexpr const char* kSourcePath = "bas/src/Common/Init_BAS";
// The line each failed check reports.
constexpr int kSecondInitLine = 62;
constexpr int kVersionLine = 213;
constexpr int kFlavourLine = 216;
constexpr int kFlavourHighBitsLine = 219;

bool startServices();
bool startAuthentication();
void stopServices();

} // namespace

// Start-up, in order:
//  1. the checks: a second init, then version and flavour;
//  2. the application's signature and name (kept when a later step fails);
//  3. the services (startServices);
//  4. authentication (startAuthentication).
// A failure in 3 or 4 stops everything again (stopServices runs every stop,
// also of services that never started) and leaves the library stopped.
//
// Shut-down (deInit) runs the same full stop sequence. Every stop does
// nothing for a service that is not running, so deInit is safe after a
// failed or missing init, and init may follow it again.
// Both run on the main thread, at start and end, and take no lock.
//
// The application's signature and name persist after deInit: message
// boxes after shut-down still carry the application's name.
//
// Callers on top of this library (the application framework, the widget
// toolkit) call checkVersionAndFlavour early in their own start-up with the
// version and flavour they were built against.
//
// init:
bool Lib::init(FileTypeMacMagic signature, const char* appName, int version, int flavour)
{
    if (s_bInitialized)
        Assertion::DoFail(kSourcePath, kSecondInitLine, nullptr);
    checkVersionAndFlavour(version, flavour);

    Application::setSignature(signature);
    if (appName != nullptr)
        Application::setName(appName);

    if (!startServices() || !startAuthentication()) {
        stopServices();
        return false;
    }
    s_bInitialized = true;
    return true;
}

void Lib::deInit()
{
    stopServices();
}

void Lib::initLocale(const char* code)
{
    GetTextLoader::initLocale(code);
}

namespace {

// The services in their fixed order; false when one of them throws or
// reports failure (the ones started before it keep running until the
// caller stops them).
//
// Order and reasons:
//  - thread-local storage first: everything after may use it;
//  - the system facts (processor and operating system);
//  - the pool of critical-section records, which authentication takes the
//    library's own record from;
//  - the file-type registry, before anything names a file;
//  - device notifications (unless switched off) before the volume list,
//    so the volume list can listen to the device hub;
//  - the volume list.
bool startServices()
{
    try {
        TLS::init();
        SystemInfo::init();
        if (!CriticalSection::staticInit())
            return false;
        FileTypeManager::init();
        // Device notifications first, so the volume list can listen to them.
        if (Lib::s_bInitializeDeviceNotifications && !DeviceNotification::init())
            return false;
        VolumeManager::init();
        return true;
    } catch (...) {
        return false;
    }
}

// Authentication comes last. Its result does not matter (a second start
// reports false and changes nothing), but an exception from it fails the
// start like an exception from any other service: nothing may stay
// running while the library counts as stopped.
bool startAuthentication()
{
    try {
        Authentication::init();
        return true;
    } catch (...) {
        return false;
    }
}

// Every stop, in this order, whether its service runs or not:
//  - the settings registry's implementation (closed and deleted);
//  - the file-type registry;
//  - the volume list, before the device notifications it listens to;
//  - device notifications;
//  - authentication, which gives the library's record back to the pool;
//  - the record pool;
//  - the system facts;
//  - thread-local storage;
//  - the trace group filter.
void stopServices()
{
    Registry::deInit();
    FileTypeManager::deInit();
    VolumeManager::deInit();
    DeviceNotification::deInit();
    Authentication::deInit();
    CriticalSection::staticDeInit();
    SystemInfo::deInit();
    TLS::deInit();
    DebugTrace::clearGroupFilter();
    Lib::s_bInitialized = false;
}

} // namespace

// Version and flavour:
//  - the version is the core library's interface version; a library built
//    against another one cannot work with this one;
//  - the flavour's low 16 bits name the build flavour, and its high bits
//    must be clear.
// The checks run in this order; the first that fails ends the process.
void Lib::checkVersionAndFlavour(int version, int flavour)
{
    if (version != kVersion)
        Assertion::DoFail(kSourcePath, kVersionLine, nullptr);

    if ((flavour & 0xFFFF) != kFlavour)
        Assertion::DoFail(kSourcePath, kFlavourLine, nullptr);

    if (static_cast<unsigned>(flavour) >= 0x10000u)
        Assertion::DoFail(kSourcePath, kFlavourHighBitsLine, nullptr);
}

} // namespace BAS
} // namespace CV
