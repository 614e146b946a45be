#pragma once
// The process's one thread-local-storage key.
#include <pthread.h>

namespace CV {
namespace BAS {

class TLS {
public:
    // Creates the key the first time; later calls do nothing. A failed
    // creation leaves the key 0.
    static void init();
    // Deletes the key when there is one; clears key and flag.
    static void deInit();

    static pthread_key_t m_aThreadFlagKey;
    static bool m_bIsInit;
    // On Linux 0 is a valid key, so whether a key exists is kept apart.
    static bool m_bHasKey;

    TLS() = delete;
};

} // namespace BAS
} // namespace CV
