#include "usx2/util/Logging.h"

#include "usx2/util/SystemLog.h"

#include <cstdarg>
#include <cstdio>
#include <iostream>

namespace CV {
namespace USX2 {
namespace Logging {

std::ostream* destinationStream[4] = {&std::cerr, &std::cerr, nullptr, nullptr};
std::set<std::string> allowedCategories;
std::mutex mtxTrace;

namespace detail {
std::uint32_t __reportLevelAsUInt = eLevelError;
} // namespace detail

bool isAllowedCategory(const char* category)
{
    return category && allowedCategories.count(category) != 0;
}

bool wouldReport(Level level, const char* category)
{
    if (level < detail::__reportLevelAsUInt)
        return false;
    return level >= eLevelError || isAllowedCategory(category);
}

namespace detail {

void __trace__msg(Level level, const char* format, ...)
{
    const std::uint32_t reportLevel = __reportLevelAsUInt;
    std::ostream* stream = reportLevel < 4 ? destinationStream[reportLevel] : nullptr;
    if (!stream && level != eLevelError && level != eLevelCritical)
        return;

    char buffer[kMessageBufferSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments); // cuts to 1023 characters
    va_end(arguments);

    if (stream) {
        std::lock_guard<std::mutex> lock(mtxTrace);
        *stream << buffer;
        stream->flush();
        return;
    }
    SystemLog::write(level == eLevelCritical ? SystemLog::Severity::eCritical : SystemLog::Severity::eError, buffer);
}

} // namespace detail
} // namespace Logging
} // namespace USX2
} // namespace CV
