#include "BAS/TLS.h"

namespace CV {
namespace BAS {

pthread_key_t TLS::m_aThreadFlagKey = 0;
bool TLS::m_bIsInit = false;
bool TLS::m_bHasKey = false;

void TLS::init()
{
    if (m_bIsInit)
        return;
    pthread_key_t key = 0;
    m_bHasKey = ::pthread_key_create(&key, nullptr) == 0;
    m_aThreadFlagKey = m_bHasKey ? key : 0;
    m_bIsInit = true;
}

void TLS::deInit()
{
    if (m_bHasKey)
        ::pthread_key_delete(m_aThreadFlagKey);
    m_aThreadFlagKey = 0;
    m_bHasKey = false;
    m_bIsInit = false;
}

} // namespace BAS
} // namespace CV
