#include "FEN/InputState.h"

#include "FEN/DETAIL/Keys.h"
#include "platform/appkit/NSEvent.h"
#include "platform/objc/MessageSend.h"

namespace CV {
namespace FEN {

bool InputState::g_bModalKeyInput = false;

uint32_t InputState::getSyncModifierKeys()
{
    const auto flags = platform::objc::send<unsigned long long>(platform::appkit::NSEventClass(), "modifierFlags");
    return DETAIL::Keys::macOSModifiersToFEN(static_cast<uint32_t>(flags));
}

} // namespace FEN
} // namespace CV
