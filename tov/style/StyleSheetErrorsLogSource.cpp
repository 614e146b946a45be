#include "TOV/StyleSheetErrorsLogSource.h"

namespace CV::TOV {

std::vector<StyleSheetErrorsLogSource::Sink> StyleSheetErrorsLogSource::m_logSinks;

void StyleSheetErrorsLogSource::log(std::string const& text)
{
    for (auto const& sink : m_logSinks) {
        if (sink)
            sink(text);
    }
}

} // namespace CV::TOV
