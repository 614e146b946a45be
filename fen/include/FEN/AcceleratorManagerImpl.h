#pragma once
// The interface of an accelerator table: key words (FEN/KeyCodes.h) mapped
// to command ids.

namespace CV {
namespace FEN {

class AcceleratorManagerImpl {
public:
    virtual ~AcceleratorManagerImpl() = default;
    // Enters the command of a key word, replacing an earlier one.
    virtual void add(unsigned key, int command) = 0;
    virtual void removeAll() = 0;
    // The command of a key word; 0 when there is none.
    virtual int getCommand(unsigned key) const = 0;
};

} // namespace FEN
} // namespace CV
