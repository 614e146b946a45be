#include "updater/upgrade/UpdateResultCell.h"

namespace CV {

UpdateResultCell::UpdateResultCell(int& callerResult)
    : m_pCallerResult(&callerResult)
    , m_value(0)
{
}

void UpdateResultCell::store(int value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_value.store(value);
    if (m_pCallerResult)
        __atomic_store_n(m_pCallerResult, value, __ATOMIC_SEQ_CST);
}

int UpdateResultCell::load() const
{
    return m_value.load();
}

void UpdateResultCell::detachCaller()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pCallerResult = nullptr;
}

} // namespace CV
