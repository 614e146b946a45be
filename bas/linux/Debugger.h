#pragma once
// The debugger that may be attached to this process.
namespace CV {
namespace BAS {
namespace LINUX {

class Debugger {
public:
    // Whether a tracer (a debugger) is attached, from /proc/self/status.
    static bool isAttached();
    // Stops in the attached debugger; does nothing without one, so a
    // process that runs on its own is never killed by the trap.
    static void breakIfAttached();

    Debugger() = delete;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
