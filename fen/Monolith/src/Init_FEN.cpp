// Start-up and shut-down of the framework library.
//
// The version checks report this file's path and fixed line numbers (the
// constants below), which the libraries built on the framework know.
#include "FEN/Lib.h"

#include "BAS/Assertion.h"
#include "BAS/Lib.h"
#include "FEN/AsyncEventTargetImpl.h"
#include "FEN/CursorManager.h"
#include "FEN/DETAIL/Keys.h"
#include "FEN/HMenu.h"

namespace CV {
namespace FEN {

namespace {

constexpr const char* kSourcePath = "fen/Monolith/src/Init_FEN";
constexpr int kLineVersion = 150;
constexpr int kLineFlavour = 153;
constexpr int kLineFlavourHigh = 156;

constexpr int32_t kCoreVersion = 0x2030000;
constexpr int32_t kCoreFlavour = 69;

// Set once every step of init succeeded; a second init registers nothing
// again.
bool s_bInitialized = false;

void checkVersionAndFlavour(int version, int flavour)
{
    if (version != Lib::kVersion)
        BAS::Assertion::DoFail(kSourcePath, kLineVersion, nullptr);
    if ((flavour & 0xFFFF) != Lib::kFlavour)
        BAS::Assertion::DoFail(kSourcePath, kLineFlavour, nullptr);
    if (flavour >= 0x10000 || flavour < 0)
        BAS::Assertion::DoFail(kSourcePath, kLineFlavourHigh, nullptr);
}

bool startServices()
{
    if (!DETAIL::Keys::init())
        return false;
    HMenu::s_bInit = true;
    CursorManager::init();
    return AsyncEventTargetImpl::init(false);
}

} // namespace

bool Lib::s_bCocoaDrawRectUnion = true;

bool Lib::init(int version, int flavour)
{
    BAS::Lib::checkVersionAndFlavour(kCoreVersion, kCoreFlavour);
    checkVersionAndFlavour(version, flavour);
    if (s_bInitialized)
        return true;
    bool started = false;
    try {
        started = startServices();
    } catch (...) {
        started = false;
    }
    if (!started) {
        deInit();
        return false;
    }
    s_bInitialized = true;
    return true;
}

void Lib::deInit()
{
    AsyncEventTargetImpl::deInit();
    CursorManager::deInit();
    HMenu::s_bInit = false;
    DETAIL::Keys::clearReverseMap();
    s_bInitialized = false;
}

} // namespace FEN
} // namespace CV
