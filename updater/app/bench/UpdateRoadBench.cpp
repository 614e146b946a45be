// The whole update of the demo keyboard on the simulated bus, in real time,
// as the wizard drives it: from UPDATE (switch into update mode, write,
// return, the worker's final pause) through polling the result on the
// window's 40 ms tick to reading the new version back. Reported beside the
// waits the keyboard's protocol asks for (every sleep of the DFU layer plus
// the worker's final pause): the overhead is what the updater adds. Every
// repetition starts on a bus freshly read from the demo file, so it meets a
// keyboard that still needs its update.
#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/linux/USBHost.h"
#include "usx2/util/Sleeper.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using namespace CV;

// Real sleeps, counted.
class CountingSleeper : public USX2::Sleeper {
public:
    void sleepFor(Duration duration) override
    {
        m_requested += duration.count();
        Sleeper::system().sleepFor(duration);
    }
    Duration now() const override { return Sleeper::system().now(); }
    std::chrono::milliseconds requested() const { return std::chrono::milliseconds(m_requested.load()); }

private:
    std::atomic<long long> m_requested{0};
};

constexpr std::chrono::milliseconds kTick{40};

void BM_WholeUpdateOfTheDemoKeyboard(benchmark::State& state)
{
    ::setenv(USX2::USBHost::kSimulationVariable, VARANTO_DEMO_SIMULATION, 1);
    USX2::USBHost::setCurrent(nullptr);
    for (auto _ : state) {
        CountingSleeper sleeper;
        VarantoMK2UpdaterUpgradeLogic logic(sleeper);
        USX2::USBDeviceInfo info;
        std::string installed, newest;
        bool update = false;
        if (!logic.connectInNormalMode()) {
            state.SkipWithError("the demo keyboard was not found");
            return;
        }
        logic.getDeviceInfo(info, installed, newest, update);
        if (!update) {
            state.SkipWithError("the demo keyboard needs no update");
            return;
        }

        auto const start = std::chrono::steady_clock::now();
        int result = 0;
        if (!logic.resetIntoUpdateMode() || !logic.performUpdate(result)) {
            state.SkipWithError("the update did not start");
            return;
        }
        while (__atomic_load_n(&result, __ATOMIC_SEQ_CST) == 0)
            std::this_thread::sleep_for(kTick);
        bool const back = logic.connectInNormalMode();
        logic.getDeviceInfo(info, installed, newest, update);
        auto const elapsed = std::chrono::steady_clock::now() - start;
        logic.waitForWorker(boost::chrono::milliseconds(1000));
        if (result != 1 || !back || installed != newest) {
            state.SkipWithError("the update did not succeed");
            return;
        }

        double const seconds = std::chrono::duration<double>(elapsed).count();
        double const waits = std::chrono::duration<double>(sleeper.requested()).count() +
            std::chrono::duration<double>(std::chrono::milliseconds(VarantoMK2UpdaterUpgradeLogic::kFinalPause.count()))
                .count();
        state.SetIterationTime(seconds);
        state.counters["keyboard_waits_s"] = waits;
        state.counters["overhead_pct"] = 100.0 * (seconds - waits) / waits;
    }
}
BENCHMARK(BM_WholeUpdateOfTheDemoKeyboard)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
