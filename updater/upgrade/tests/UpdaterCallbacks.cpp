#include "UpdaterCallbacks.h"

#include <boost/bind/bind.hpp>

namespace CV {
namespace test {

UpdaterCallbacks UpdaterCallbacks::bindTo(VarantoMK2UpdaterUpgradeLogic* logic)
{
    using namespace boost::placeholders;
    using Logic = VarantoMK2UpdaterUpgradeLogic;
    UpdaterCallbacks callbacks;
    callbacks.connectInNormalMode = boost::bind(&Logic::connectInNormalMode, logic);
    callbacks.resetIntoUpdateMode = boost::bind(&Logic::resetIntoUpdateMode, logic);
    callbacks.connectInUpdateMode = boost::bind(&Logic::connectInUpdateMode, logic);
    callbacks.performUpdate = boost::bind(&Logic::performUpdate, logic, _1);
    callbacks.getDeviceInfo = boost::bind(&Logic::getDeviceInfo, logic, _1, _2, _3, _4);
    callbacks.isUpdateRunning = boost::bind(&Logic::isUpdateRunning, logic);
    callbacks.applicationCloseRequest = boost::bind(&Logic::applicationCloseRequest, logic);
    return callbacks;
}

} // namespace test
} // namespace CV
