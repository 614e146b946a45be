#include "usx2/util/SystemLog.h"

#include <mutex>
#include <syslog.h>

namespace CV {
namespace USX2 {

namespace {
std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

SystemLog::Sink& sinkSlot()
{
    static SystemLog::Sink sink;
    return sink;
}
} // namespace

void SystemLog::write(Severity severity, const std::string& message)
{
    Sink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = sinkSlot();
    }
    if (sink) {
        sink(severity, message);
        return;
    }
    syslog(severity == Severity::eCritical ? LOG_CRIT : LOG_ERR, "%s", message.c_str());
}

SystemLog::Sink SystemLog::setSink(Sink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    Sink previous = std::move(sinkSlot());
    sinkSlot() = std::move(sink);
    return previous;
}

} // namespace USX2
} // namespace CV
