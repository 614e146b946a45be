#pragma once
// The protocol "NSTextInputClient": a view that takes text from the input
// system. interpretKeyEvents: talks to a view that conforms to it through
// its marked-text calls (a dead key shows its accent as marked text, the
// next key commits); other views only get insertText:.
//
// Required instance selectors: hasMarkedText, markedRange, selectedRange,
// setMarkedText:selectedRange:replacementRange:, unmarkText,
// validAttributesForMarkedText,
// attributedSubstringForProposedRange:actualRange:,
// insertText:replacementRange:, characterIndexForPoint:,
// firstRectForCharacterRange:actualRange:, doCommandBySelector:.
#include <objc/runtime.h>

namespace platform::appkit {

// The protocol record (declared with the stand-in classes).
Protocol* NSTextInputClientProtocol();
// Whether object's class adopts it.
bool isTextInputClient(id object);

} // namespace platform::appkit
