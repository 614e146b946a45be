#pragma once
// Autorelease pools: objects sent "autorelease" are released when the
// innermost pool of their thread ends. Pools nest per thread (RAII).
// The main loop wraps every callback it runs in a pool. An object
// autoreleased on a thread without a pool is released when the thread
// ends.
#include <objc/runtime.h>

#include <cstddef>

namespace platform::objc {

class AutoreleasePool {
public:
    AutoreleasePool();
    ~AutoreleasePool();
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;

    // Releases everything added since this pool began (the pool stays).
    void drain();

    // Adds object to the innermost pool of the calling thread.
    static void add(id object);
    // Objects waiting in the calling thread's pools.
    static std::size_t pendingCount();

private:
    std::size_t m_mark;
};

} // namespace platform::objc
