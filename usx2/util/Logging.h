#pragma once

#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <set>
#include <string>

namespace CV {
namespace USX2 {

// The USB layer's log: messages with a level (0..3, higher is more severe)
// and a category. A message of level L is produced only when the report level
// is at most L (call sites decide with wouldReport before formatting); it goes
// to the stream that destinationStream holds for the report level, or, when
// there is none, levels 2 and 3 go to the system log (SystemLog) as error and
// critical messages.
namespace Logging {

enum Level : std::uint32_t {
    eLevelDebug = 0,
    eLevelInfo = 1, // request failures, only for allowed categories
    eLevelError = 2,
    eLevelCritical = 3,
};

constexpr std::size_t kMessageBufferSize = 1024; // including the terminating NUL

extern std::ostream* destinationStream[4];
extern std::set<std::string> allowedCategories;
extern std::mutex mtxTrace;

bool isAllowedCategory(const char* category);

// The call-site rule: level at least the report level, and for levels below 2
// also an allowed category.
bool wouldReport(Level level, const char* category);

namespace detail {
extern std::uint32_t __reportLevelAsUInt; // 2 from start-up

void __trace__msg(Level level, const char* format, ...) __attribute__((format(printf, 2, 3)));
} // namespace detail

} // namespace Logging
} // namespace USX2
} // namespace CV
