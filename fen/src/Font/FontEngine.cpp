#include "FEN/FontEngine.h"

namespace CV {
namespace FEN {

FontEngine::FontEngine()
    : m_backEnd(DETAIL::FreeType::create())
{
}

FontEngine::~FontEngine() = default;

FontEngine* getSystemFontEngine()
{
    static FontEngine s_engine;
    return &s_engine;
}

} // namespace FEN
} // namespace CV
