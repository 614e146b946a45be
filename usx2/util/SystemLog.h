#pragma once

#include <functional>
#include <string>

namespace CV {
namespace USX2 {

// The system log as the USB layer uses it: one formatted message at an error
// or a critical severity, sent to syslog(3). A test replaces the sink to
// capture the messages.
class SystemLog {
public:
    enum class Severity { eError, eCritical };
    using Sink = std::function<void(Severity, const std::string&)>;

    static void write(Severity severity, const std::string& message);
    // Replaces the sink (an empty sink: syslog again); returns the previous one.
    static Sink setSink(Sink sink);
};

} // namespace USX2
} // namespace CV
