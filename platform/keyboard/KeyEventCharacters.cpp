#include "platform/keyboard/KeyEventCharacters.h"

#include "platform/keyboard/ModifierFlags.h"

namespace platform::keyboard {

namespace {

struct KeyCharacter {
    unsigned virtualKey;
    char16_t character;
};

constexpr KeyCharacter kKeyCharacters[] = {
    {126, 0xF700}, {125, 0xF701}, {123, 0xF702}, {124, 0xF703}, // arrows
    {122, 0xF704}, {120, 0xF705}, {99, 0xF706},  {118, 0xF707}, {96, 0xF708},  {97, 0xF709},
    {98, 0xF70A},  {100, 0xF70B}, {101, 0xF70C}, {109, 0xF70D}, {103, 0xF70E}, {111, 0xF70F}, // F1-F12
    {114, 0xF746}, // Help (Insert on PC keyboards)
    {117, 0xF728}, {115, 0xF729}, {119, 0xF72B}, {116, 0xF72C}, {121, 0xF72D}, // Delete, Home, End, PgUp, PgDn
    {71, 0xF739}, // keypad Clear
    {51, 0x7F},    {36, 0x0D},    {76, 0x03},    {53, 0x1B},
};

constexpr unsigned kTab = 48;

} // namespace

std::optional<char16_t> keyEventCharacter(unsigned virtualKey, std::uint64_t modifierFlags)
{
    if (virtualKey == kTab)
        return char16_t((modifierFlags & kModifierShift) ? 0x19 : 0x09);
    for (const KeyCharacter& key : kKeyCharacters)
        if (key.virtualKey == virtualKey)
            return key.character;
    return std::nullopt;
}

} // namespace platform::keyboard
