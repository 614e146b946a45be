#include "BAS/DeviceNotificationListener.h"

namespace CV {
namespace BAS {

void DeviceNotificationListener::onDeviceChanged(eState) { }

void DeviceNotificationListener::onDeviceChangedDetail(eState, void const*) { }

} // namespace BAS
} // namespace CV
