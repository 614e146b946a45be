#include "updater/app/VarantoMK2UpdaterAppModule.h"

#include "BAS/Assertion.h"
#include "BAS/Lib.h"
#include "FEN/Lib.h"
#include "TOV/Lib.h"
#include "updater/app/ApplicationTexts.h"
#include "updater/app/FirmwareUpdaterApp.h"
#include "updater/app/FirmwareUpdaterConfig.h"
#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"

#include <boost/bind/bind.hpp>

#include <cstdio>
#include <string>

namespace CV {

namespace {

constexpr const char* kSourcePath = "updater/app/VarantoMK2UpdaterAppModule";

// One line on standard error about the shut-down.
void report(const char* text)
{
    std::fprintf(stderr, "%s: %s\n", ApplicationTexts::kAppName, text);
    std::fflush(stderr);
}

constexpr BAS::FileTypeMacMagic kFileType = BAS::makeFileTypeMacMagic('Q', 'V', 'T', '2');

} // namespace

std::vector<VarantoMK2UpdaterAppModule::Library> VarantoMK2UpdaterAppModule::standardLibraries()
{
    return {
        {"core library",
         [] { return BAS::Lib::init(kFileType, ApplicationTexts::kTitle, BAS::Lib::kVersion, BAS::Lib::kFlavour); },
         [] { BAS::Lib::deInit(); }},
        {"application framework", [] { return FEN::Lib::init(FEN::Lib::kVersion, FEN::Lib::kFlavour); },
         [] { FEN::Lib::deInit(); }},
        {"widget library", [] { return TOV::Lib::init(); }, [] { TOV::Lib::deInit(); }},
    };
}

VarantoMK2UpdaterAppModule::VarantoMK2UpdaterAppModule()
    : VarantoMK2UpdaterAppModule(standardLibraries())
{
}

VarantoMK2UpdaterAppModule::VarantoMK2UpdaterAppModule(std::vector<Library> libraries)
    : m_libraries(std::move(libraries))
{
}

VarantoMK2UpdaterAppModule::~VarantoMK2UpdaterAppModule() = default;

bool VarantoMK2UpdaterAppModule::init()
{
    if (!startLibraries())
        return false;
    TOV::Lib::setSearchSkinDirectory(true);
    m_pUpgradeLogic = std::make_unique<VarantoMK2UpdaterUpgradeLogic>();
    createConfig();
    return attachApplication(new FirmwareUpdaterApp(*m_pConfig));
}

void VarantoMK2UpdaterAppModule::deInit(bool)
{
    destroyApplication();
    m_pConfig.reset();
    deleteUpgradeLogic();
    stopLibraries();
}

bool VarantoMK2UpdaterAppModule::waitForUpdateWorker()
{
    if (!m_pUpgradeLogic || m_pUpgradeLogic->waitForWorker(boost::chrono::milliseconds(0)))
        return true;
    report("waiting for the firmware update to end");
    auto const limit = m_pUpgradeLogic->workerDeadlineFromNow() - boost::chrono::steady_clock::now();
    bool const ended = m_pUpgradeLogic->waitForWorker(
        boost::chrono::duration_cast<boost::chrono::milliseconds>(limit) + boost::chrono::milliseconds(1));
    report(ended ? "the firmware update ended" : "the firmware update did not end in time");
    return ended;
}

bool VarantoMK2UpdaterAppModule::startLibraries()
{
    for (Library const& library : m_libraries) {
        if (!library.init()) {
            stopLibraries();
            std::string const text = std::string("The ") + library.name + " could not be started.";
            BAS::Assertion::DoFail(kSourcePath, __LINE__, text.c_str());
            return false;
        }
        ++m_librariesStarted;
    }
    return true;
}

void VarantoMK2UpdaterAppModule::stopLibraries()
{
    while (m_librariesStarted > 0)
        m_libraries[--m_librariesStarted].deInit();
}

void VarantoMK2UpdaterAppModule::createConfig()
{
    using namespace boost::placeholders;
    using Logic = VarantoMK2UpdaterUpgradeLogic;
    Logic* logic = m_pUpgradeLogic.get();
    m_pConfig = std::make_unique<FirmwareUpdaterConfig>(
        ApplicationTexts::wizardTexts(), ApplicationTexts::kInstanceId,
        boost::bind(&Logic::connectInNormalMode, logic), boost::bind(&Logic::resetIntoUpdateMode, logic),
        boost::bind(&Logic::connectInUpdateMode, logic), boost::bind(&Logic::performUpdate, logic, _1),
        boost::bind(&Logic::getDeviceInfo, logic, _1, _2, _3, _4), boost::bind(&Logic::isUpdateRunning, logic),
        boost::bind(&Logic::applicationCloseRequest, logic));
}

// The worker uses the logic's device until it ends: the logic goes only
// after it. A worker that overran its own deadline keeps the logic (the
// process is ending anyway) rather than be cut loose from it.
void VarantoMK2UpdaterAppModule::deleteUpgradeLogic()
{
    if (!m_pUpgradeLogic)
        return;
    if (!waitForUpdateWorker()) {
        static_cast<void>(m_pUpgradeLogic.release());
        return;
    }
    m_pUpgradeLogic.reset();
}

} // namespace CV
