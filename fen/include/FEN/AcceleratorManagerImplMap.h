#pragma once
// An accelerator table kept in an ordered map. A key word that is not in
// the table is looked up again without bits 17 to 23, so a keypad key finds
// the accelerator of the same character on the main keyboard (never the
// other way round); Caps Lock and the other modifiers always take part.
#include "FEN/AcceleratorManagerImpl.h"

#include <map>

namespace CV {
namespace FEN {

class AcceleratorManagerImplMap : public AcceleratorManagerImpl {
public:
    void add(unsigned key, int command) override;
    void removeAll() override;
    int getCommand(unsigned key) const override;
    const std::map<unsigned, int>& entries() const { return m_mapAccelerators; }

private:
    std::map<unsigned, int> m_mapAccelerators;
};

} // namespace FEN
} // namespace CV
