#pragma once
// The library's recursive mutex, held for the lifetime of an Autolock.
#include <mutex>

namespace CV {
namespace BAS {
namespace DETAIL {

class Autolock {
public:
    Autolock() { s_mutex.lock(); }
    ~Autolock() { s_mutex.unlock(); }
    Autolock(const Autolock&) = delete;
    Autolock& operator=(const Autolock&) = delete;

    static std::recursive_mutex s_mutex;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
