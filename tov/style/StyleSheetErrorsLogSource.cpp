#include "TOV/StyleSheetErrorsLogSource.h"

namespace CV::TOV {

void StyleSheetErrorsLogSource::log(std::string const& text)
{
    for (auto const& sink : m_logSinks) {
        if (sink)
            sink(text);
    }
}

} // namespace CV::TOV
