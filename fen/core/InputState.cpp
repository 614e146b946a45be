#include "FEN/InputState.h"

#include "FEN/DETAIL/Keys.h"
#include "platform/keyboard/ModifierFlags.h"

namespace CV {
namespace FEN {

bool InputState::g_bModalKeyInput = false;

uint32_t InputState::getSyncModifierKeys()
{
    return DETAIL::Keys::macOSModifiersToFEN(platform::keyboard::ModifierState::current());
}

} // namespace FEN
} // namespace CV
