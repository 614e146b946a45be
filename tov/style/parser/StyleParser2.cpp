#include "TOV/StyleParser2.h"

#include "TOV/StyleSheetErrorsLogSource.h"
#include "style/parser/StyleGrammar.h"

#include <fmt/format.h>

#include <cstdio>

namespace CV::TOV {

namespace {

std::string lineMessage(char const* format, unsigned line)
{
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<int>(line));
    return text;
}

} // namespace

StyleParser2::StyleParser2(StyleSheet* sheet)
    : m_sheet(sheet)
{
}

StyleParser2::~StyleParser2() = default;

bool StyleParser2::processBuffer(std::string const& buffer, std::string const& sourceName)
{
    if (m_encoding >= eUTF16BE) {
        addErrorMessage(currentSource(), 0, "Unsupported buffer encoding");
        return false;
    }
    std::size_t const markLength = (m_encoding == eUTF8) ? 3 : 0;
    return DETAIL::runStyleGrammar(this, sourceName, buffer.begin() + markLength, buffer.end());
}

bool StyleParser2::processString(std::string const& text)
{
    return DETAIL::runStyleGrammar(this, kStringSourceName, text.begin(), text.end());
}

void StyleParser2::addRule(tRule const& rule)
{
    m_rules.push_back(rule);
}

void StyleParser2::addConstant(unsigned line, tConstant const& constant)
{
    if (m_constants.count(constant.name)) {
        addErrorMessage(currentSource(), line, lineMessage("PARSER ERROR at line %d: constant already defined", line));
        return;
    }
    m_constants.emplace(constant.name, constant.value);
}

StyleParser2::tPropertyValue StyleParser2::getConstValue(std::string const& name, unsigned line)
{
    auto const found = m_constants.find(name);
    if (found != m_constants.end())
        return found->second;
    addErrorMessage(currentSource(), line, lineMessage("PARSER ERROR at line %d: use of undefined constant ", line) + name);
    tPropertyValue zero;
    zero.value.emplace<int32_t>(0);
    return zero;
}

void StyleParser2::processImport(unsigned line, std::string const& name)
{
    addErrorMessage(currentSource(), line, lineMessage("PARSER ERROR at line %d: Failed to import stylesheet ", line) + name);
}

void StyleParser2::addErrorMessage(unsigned line, std::string const& text)
{
    addErrorMessage(currentSource(), line, text);
}

void StyleParser2::addErrorMessage(std::string const& source, unsigned line, std::string const& text)
{
    m_errors[source].emplace(line, text);
    StyleSheetErrorsLogSource::log(fmt::format("Stylesheet error: {0}:{1} - {2}", source, line, text));
}

} // namespace CV::TOV
