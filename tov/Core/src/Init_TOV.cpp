// Start-up and shut-down of the widget library.
//
// A second start reports this file's path and a fixed line number.
#include "TOV/Lib.h"

#include "BAS/Assertion.h"
#include "BAS/Lib.h"
#include "BAS/Region.h"
#include "TOV/ManagerContainer.h"

namespace CV::TOV {

namespace {

constexpr const char* kSourcePath = "tov/Core/src/Init_TOV";
constexpr int kLineSecondInit = 27;

constexpr int32_t kCoreVersion = 0x2030000;
constexpr int32_t kCoreFlavour = 69;

} // namespace

bool Lib::s_initialized = false;

bool Lib::init()
{
    if (s_initialized)
        BAS::Assertion::DoFail(kSourcePath, kLineSecondInit, nullptr);
    BAS::Lib::checkVersionAndFlavour(kCoreVersion, kCoreFlavour);
    BAS::Region::init();
    s_managerContainer = std::make_unique<ManagerContainer>();
    s_initialized = true;
    return true;
}

void Lib::deInit()
{
    if (!s_initialized)
        return;
    std::unique_ptr<ManagerContainer> container = std::move(s_managerContainer);
    container.reset();
    BAS::Region::deInit();
    s_initialized = false;
}

} // namespace CV::TOV
