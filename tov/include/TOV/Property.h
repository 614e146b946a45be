#pragma once
// One declaration of a style sheet: a name, a value and the unit or kind of
// that value.
#include "BAS/Point.h"
#include "TOV/LazyPicture.h"
#include "cv/symbol.h"

#include <cstdint>
#include <string>
#include <variant>

namespace CV::FEN {
class Font;
}

namespace CV::TOV {

// Index 0 means "no value". Colours are unsigned 0xAARRGGBB. The font is owned
// by the resource manager's font cache.
using PropertyValue = std::variant<std::monostate, float, uint32_t, int32_t, bool, std::string, FEN::Font const*,
                                   BAS::Point, LazyPicture>;

class Property {
public:
    enum eUnit : int32_t {
        eNone = 0, // plain number, or a constant's value without unit
        ePixel = 1, // "px"
        ePercent = 2, // "%"
        eBool = 3, // true / false
        eURL = 4, // url("...")
        eIdentifier = 5, // a bare word
        eColor = 6, // 0xAARRGGBB
        eFont = 7, // made by the style sheet from the font keys
        ePicture = 8, // made by the style sheet from the picture keys
        ePoint = 9, // displacements made by the style sheet
    };

    Property() = default;
    Property(PropertyValue value, cv::symbol name, eUnit unit)
        : value(std::move(value))
        , name(name)
        , unit(unit)
    {
    }

    // The value read as a truth value, or null when it has none: a bool; an
    // int or unsigned without unit (0 is false); the words yes/true and
    // no/false. The pointer refers to a constant that lives for the program.
    bool const* getBoolValue() const;

    PropertyValue value;
    cv::symbol name;
    eUnit unit = eNone;
};

} // namespace CV::TOV
