#pragma once
// The process-wide font engine.
#include "FEN/DETAIL/FreeType.h"

#include <memory>

namespace CV {
namespace FEN {

class FontEngine {
public:
    FontEngine();
    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;
    // Lets go of the back end; fonts still alive keep it until they go.
    ~FontEngine();

    DETAIL::FreeType* handle() const { return m_backEnd.get(); }

private:
    std::shared_ptr<DETAIL::FreeType> m_backEnd;
};

// The engine, created on the first call.
FontEngine* getSystemFontEngine();

} // namespace FEN
} // namespace CV
