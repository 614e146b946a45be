#include "updater/app/VarantoMK2UpdaterAppModule.h"

#include "BAS/Assertion.h"
#include "BAS/Lib.h"
#include "FEN/Lib.h"
#include "TOV/Lib.h"
#include "platform/runloop/MainLoop.h"
#include "updater/app/ApplicationTexts.h"
#include "updater/app/FirmwareUpdaterApp.h"
#include "updater/app/FirmwareUpdaterConfig.h"
#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"

#include <boost/bind/bind.hpp>

#include <chrono>
#include <cstdio>
#include <functional>
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

// How often the wait for the update worker looks whether it has ended.
constexpr auto kWorkerLookInterval = std::chrono::milliseconds(20);

// Keeps the main loop running in its default mode (timers tick, windows
// repaint) until ended() is true or the deadline has passed on the given
// clock, whatever clock the loop's timers read. A timer of its own wakes
// the loop to look.
void runMainLoopUntil(std::function<bool()> const& ended, platform::Clock const& clock,
                      platform::Clock::TimePoint deadline)
{
    platform::MainLoop& loop = platform::MainLoop::instance();
    auto const done = [&] { return ended() || clock.now() >= deadline; };
    platform::MainLoop::TimerId const look = loop.addTimer(kWorkerLookInterval, true, [] {});
    while (!done())
        loop.runUntil(done, std::chrono::seconds(1));
    loop.cancelTimer(look);
}

// The longest a worker started now can run.
platform::Clock::Duration longestWorkerRun(VarantoMK2UpdaterUpgradeLogic const& logic)
{
    auto const longest = logic.workerDeadlineFromNow() - boost::chrono::steady_clock::now();
    return platform::Clock::Duration(boost::chrono::duration_cast<boost::chrono::nanoseconds>(longest).count());
}

const char* endOfUpdateText(int writeOutcome)
{
    switch (writeOutcome) {
    case VarantoMK2UpdaterUpgradeLogic::eUpdateFinished:
        return "the firmware update ended: the keyboard took the new firmware";
    case VarantoMK2UpdaterUpgradeLogic::eWritingFailed: return "the firmware update ended: writing the firmware failed";
    case VarantoMK2UpdaterUpgradeLogic::eNoUpdatePossible: return "the firmware update ended: no update was possible";
    default: return "the firmware update ended";
    }
}

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
    : VarantoMK2UpdaterAppModule(std::move(libraries), Time{})
{
}

VarantoMK2UpdaterAppModule::VarantoMK2UpdaterAppModule(std::vector<Library> libraries, Time time)
    : m_libraries(std::move(libraries))
    , m_time(time)
{
}

platform::Clock& VarantoMK2UpdaterAppModule::steadyClock()
{
    static platform::SystemClock s_clock;
    return s_clock;
}

VarantoMK2UpdaterAppModule::~VarantoMK2UpdaterAppModule() = default;

bool VarantoMK2UpdaterAppModule::init()
{
    if (!startLibraries())
        return false;
    TOV::Lib::setSearchSkinDirectory(true);
    m_workerWaitDone = false;
    m_pUpgradeLogic = std::make_unique<VarantoMK2UpdaterUpgradeLogic>(*m_time.sleeper);
    createConfig();
    return attachApplication(new FirmwareUpdaterApp(*m_pConfig));
}

void VarantoMK2UpdaterAppModule::deInit(bool)
{
    waitForUpdateWorker();
    destroyApplication();
    m_pConfig.reset();
    deleteUpgradeLogic();
    stopLibraries();
}

bool VarantoMK2UpdaterAppModule::waitForUpdateWorker()
{
    if (!m_pUpgradeLogic || m_pUpgradeLogic->waitForWorker(boost::chrono::milliseconds(0)))
        return true;
    if (m_workerWaitDone)
        return false;
    m_workerWaitDone = true;
    report("waiting for the firmware update to end");
    VarantoMK2UpdaterUpgradeLogic& logic = *m_pUpgradeLogic;
    platform::Clock const& clock = *m_time.clock;
    runMainLoopUntil([&logic] { return logic.waitForWorker(boost::chrono::milliseconds(0)); }, clock,
                     clock.now() + longestWorkerRun(logic));
    bool const ended = logic.waitForWorker(boost::chrono::milliseconds(0));
    report(ended ? endOfUpdateText(logic.lastWriteOutcome()) : "the firmware update did not end in time");
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
        ApplicationTexts::wizardTexts(), ApplicationTexts::kInstanceId, boost::bind(&Logic::connectInNormalMode, logic),
        boost::bind(&Logic::resetIntoUpdateMode, logic), boost::bind(&Logic::connectInUpdateMode, logic),
        boost::bind(&Logic::performUpdate, logic, _1), boost::bind(&Logic::getDeviceInfo, logic, _1, _2, _3, _4),
        boost::bind(&Logic::isUpdateRunning, logic), boost::bind(&Logic::applicationCloseRequest, logic));
}

// The worker uses the logic's device until it ends: the logic goes only
// after it. A worker still running after the wait, which has said so, keeps
// the logic (the process is ending anyway) rather than be cut loose from it.
void VarantoMK2UpdaterAppModule::deleteUpgradeLogic()
{
    if (m_pUpgradeLogic && !m_pUpgradeLogic->waitForWorker(boost::chrono::milliseconds(0))) {
        static_cast<void>(m_pUpgradeLogic.release());
        return;
    }
    m_pUpgradeLogic.reset();
}

} // namespace CV
