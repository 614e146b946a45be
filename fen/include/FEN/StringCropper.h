#pragma once
// The core text cropper bound to a font: shortens a text to a pixel width
// measured with the font at its current backing scale.
#include "BAS/CharSequence.h"
#include "BAS/StringCropper.h"

#include <string>

namespace CV {
namespace FEN {

class Font;

class StringCropper {
public:
    StringCropper() = default;

    // The text (NUL-terminated) cropped to width pixels of the font.
    std::string cropString(const BAS::CharSequence<char>& text, const Font& font, int width) const;

    BAS::StringCropper& getCropper() { return m_cropper; }

private:
    BAS::StringCropper m_cropper;
};

} // namespace FEN
} // namespace CV
