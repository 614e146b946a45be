#include "platform/appkit/NSTextInputClient.h"

#include "platform/objc/Protocols.h"

namespace platform::appkit {

Protocol* NSTextInputClientProtocol()
{
    static Protocol* s_protocol = objc::Protocols::declare(
        "NSTextInputClient",
        {"hasMarkedText", "markedRange", "selectedRange", "setMarkedText:selectedRange:replacementRange:", "unmarkText",
         "validAttributesForMarkedText",
         "attributedSubstringForProposedRange:actualRange:", "insertText:replacementRange:", "characterIndexForPoint:",
         "firstRectForCharacterRange:actualRange:", "doCommandBySelector:"});
    return s_protocol;
}

bool isTextInputClient(id object)
{
    return object != nil && objc::Protocols::conforms(object_getClass(object), NSTextInputClientProtocol());
}

} // namespace platform::appkit
