#pragma once
// Whether the process runs with root rights, and the lifetime of the
// library's critical-section record.
namespace CV {
namespace BAS {

class Authentication {
public:
    // Records whether effective and real user id are both 0 (on every call).
    // A second call returns false. The first takes the library's
    // critical-section record from the record pool (std::bad_alloc when the
    // pool has none) and returns true.
    static bool init();
    // Returns the record to the pool; nothing when not initialised.
    static void deInit();

    static bool s_bProcessElevated;
    // The platform's authorization handle; Linux has none, nothing sets it.
    static void* s_pInterface;
    static bool s_bInited;

    Authentication() = delete;
};

} // namespace BAS
} // namespace CV
