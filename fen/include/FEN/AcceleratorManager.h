#pragma once
// The application's accelerator table (key word -> command id), behind one
// implementation object.
#include "FEN/AcceleratorManagerImpl.h"

#include <memory>

namespace CV {
namespace FEN {

class AcceleratorManager {
public:
    AcceleratorManager();
    ~AcceleratorManager();
    AcceleratorManager(const AcceleratorManager&) = delete;
    AcceleratorManager& operator=(const AcceleratorManager&) = delete;

    AcceleratorManagerImpl& impl() { return *m_pImpl; }
    const AcceleratorManagerImpl& impl() const { return *m_pImpl; }
    void add(unsigned key, int command) { m_pImpl->add(key, command); }
    void removeAll() { m_pImpl->removeAll(); }
    int getCommand(unsigned key) const { return m_pImpl->getCommand(key); }

private:
    std::unique_ptr<AcceleratorManagerImpl> m_pImpl;
};

} // namespace FEN
} // namespace CV
