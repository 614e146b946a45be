#pragma once
// The style code's log: parse errors, skin-resource warnings and layout
// contradictions go to every registered sink in turn.
#include <functional>
#include <string>
#include <vector>

namespace CV::TOV {

class StyleSheetErrorsLogSource {
public:
    using Sink = std::function<void(std::string)>;

    // Hands the line to every sink in list order; empty entries are skipped.
    static void log(std::string const& text);

    // Append sinks before parsing starts; the list has no lock.
    static std::vector<Sink> m_logSinks;
};

} // namespace CV::TOV
