#include "FEN/AcceleratorManagerImplMap.h"

namespace CV {
namespace FEN {

namespace {

// The key word without bits 17 to 23 (the keypad bit among them).
constexpr unsigned kWithoutKeypadMask = 0xFF01FFFF;

} // namespace

void AcceleratorManagerImplMap::add(unsigned key, int command)
{
    m_mapAccelerators[key] = command;
}

void AcceleratorManagerImplMap::removeAll()
{
    m_mapAccelerators.clear();
}

int AcceleratorManagerImplMap::getCommand(unsigned key) const
{
    auto found = m_mapAccelerators.find(key);
    if (found == m_mapAccelerators.end())
        found = m_mapAccelerators.find(key & kWithoutKeypadMask);
    return found == m_mapAccelerators.end() ? 0 : found->second;
}

} // namespace FEN
} // namespace CV
