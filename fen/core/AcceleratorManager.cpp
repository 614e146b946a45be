#include "FEN/AcceleratorManager.h"

#include "FEN/AcceleratorManagerImplMap.h"

namespace CV {
namespace FEN {

AcceleratorManager::AcceleratorManager()
    : m_pImpl(new AcceleratorManagerImplMap)
{
}

AcceleratorManager::~AcceleratorManager() = default;

} // namespace FEN
} // namespace CV
