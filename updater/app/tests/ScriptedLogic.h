#pragma once
// The upgrade logic as a script for the wizard: each operation answers from
// its queue and is written down.
#include "updater/app/wizard/UpdateWizardMainWidget.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <boost/thread/exceptions.hpp>

#include <cerrno>
#include <deque>
#include <string>
#include <vector>

namespace CV::test {

using Calls = std::vector<std::string>;

// The upgrade logic as a script: each operation answers from its queue
// (false once the queue is empty) and is written down in `calls`.
struct ScriptedLogic {
    std::deque<bool> normalMode;
    std::deque<bool> reset;
    std::deque<bool> updateMode;
    bool performStarts = true;
    bool performThrows = false;
    USX2::USBDeviceInfo info = [] {
        USX2::USBDeviceInfo keyboard;
        keyboard.vendorId = USX2::Ids::kVendorId;
        keyboard.productId = USX2::Ids::kSelaMK2ProductId;
        keyboard.serialNumber = "SELA-0042";
        return keyboard;
    }();
    std::string installed = "0.5.8";
    std::string newest = "0.5.9";
    bool updateNeeded = true;

    Calls calls;
    bool connected = false;
    int* result = nullptr; // the wizard's result integer, once an update ran

    static bool next(std::deque<bool>& answers)
    {
        if (answers.empty())
            return false;
        bool const answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void runIn(UpdateWizardMainWidget& wizard)
    {
        wizard.run(
            [this] {
                calls.push_back("normal");
                connected = next(normalMode);
                return connected;
            },
            [this] {
                calls.push_back("reset");
                return next(reset);
            },
            [this] {
                calls.push_back("updateMode");
                return next(updateMode);
            },
            [this](int& resultCell) {
                calls.push_back("perform");
                result = &resultCell;
                if (performThrows)
                    throw boost::thread_resource_error(EAGAIN, "boost::thread_resource_error");
                __atomic_store_n(&resultCell, performStarts ? 0 : -1, __ATOMIC_SEQ_CST);
                return performStarts;
            },
            [this](USX2::USBDeviceInfo& out, std::string& installedOut, std::string& newestOut, bool& update) {
                calls.push_back("info");
                if (!connected) {
                    out.bcdDevice = 0;
                    newestOut = "0.5.9";
                    update = false;
                    return;
                }
                out = info;
                installedOut = installed;
                newestOut = newest;
                update = updateNeeded;
            });
    }

    // The worker stores its result.
    void finish(int value) const { __atomic_store_n(result, value, __ATOMIC_SEQ_CST); }
};

} // namespace CV::test
