#include "FEN/StringCropper.h"

#include "FEN/Font.h"

namespace CV {
namespace FEN {

std::string StringCropper::cropString(const BAS::CharSequence<char>& text, const Font& font, int width) const
{
    const BAS::StringCropper::WidthOf widthOf = [&font](const char* p) { return font.getStringWidth(p, -1); };
    const BAS::StringCropper::PrefixBytes prefixBytes = [&font](const char* p, int w) {
        return font.getCharPos(p, w, Font::eRoundDown);
    };
    return m_cropper.cropString(text, width, widthOf, prefixBytes);
}

} // namespace FEN
} // namespace CV
