#include "TOV/StyleParser2.h"

#include "TOV/ManagerContainer.h"
#include "TOV/SkinRefusal.h"
#include "TOV/StyleSheet.h"
#include "TOV/StyleSheetErrorsLogSource.h"
#include "style/SkinFile.h"
#include "style/parser/StyleGrammar.h"

#include "BAS/StringUtil.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace CV::TOV {

namespace {

// The most rules reserved before a text is parsed: 1 MiB of them.
constexpr std::size_t kRulesReservedAtMost = (std::size_t(1) << 20) / sizeof(StyleParser2::tRule);

// Reads a sheet's file (or the container item it names) as a skin file is
// read, wherever it lies.
SkinFile::tOpened openSheetFile(BAS::FileName const& name)
{
    return SkinFile::openAnywhere(name.getSystemPath(false, true), name.subpath);
}

// Why a resource or file was not read, as the import's line says it.
std::string whyUnread(SkinFileOutcome outcome, std::string const& problem)
{
    return outcome == SkinFileOutcome::eMissing ? std::string("missing") : problem;
}

// The name a sheet read from a file is known by in messages.
std::string sourceNameOf(BAS::FileName const& name)
{
    return BAS::StringUtil::toAscii(name.name + name.extension);
}

std::string lineMessage(char const* format, unsigned line)
{
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<int>(line));
    return text;
}

// The length of the byte-order mark of each encoding.
std::array<std::size_t, 6> const& markLengths()
{
    static const std::array<std::size_t, 6> lengths = {0, 3, 2, 2, 4, 4};
    return lengths;
}

bool startsWith(std::string const& buffer, std::initializer_list<unsigned char> bytes)
{
    std::size_t i = 0;
    for (unsigned char const byte : bytes) {
        if (static_cast<unsigned char>(buffer[i++]) != byte)
            return false;
    }
    return true;
}

} // namespace

StyleParser2::StyleParser2(StyleSheet* sheet)
    : m_sheet(sheet)
{
}

StyleParser2::~StyleParser2() = default;

bool StyleParser2::processFile(BAS::FileName const& name)
{
    SkinFile::tOpened const opened = openSheetFile(name);
    if (!opened.file)
        return false;
    m_currentFile = name;
    return processStream(*opened.file, sourceNameOf(name));
}

bool StyleParser2::processStream(BAS::Stream& stream, std::string const& sourceName)
{
    BAS::IStorage* storage = stream.getStorage();
    if (!storage || !storage->isUsable())
        return false;
    storage->seek64(0, BAS::IStorage::eSeekEnd);
    int64_t const size = storage->getPos64();
    if (size < 0 || !storage->isUsable())
        return false;
    if (m_importDepth == 0)
        m_sourceName = sourceName;
    if (size > kMaxSheetSize) {
        m_refusedForSize = true;
        refuse(fmt::format("style sheet {} is larger than 16 MiB",
                           currentSource().empty() ? sourceName : currentSource()));
        addErrorMessage(currentSource(), 0, "Stylesheet larger than 16 MiB");
        return false;
    }
    std::string buffer(std::size_t(size), '\0');
    storage->seek64(0, BAS::IStorage::eSeekBegin);
    if (size > 0 && stream.readRaw(buffer.data(), buffer.size()) != buffer.size())
        return false;
    checkBOM(buffer);
    return processBuffer(buffer, sourceName);
}

void StyleParser2::checkBOM(std::string const& buffer)
{
    m_encoding = eNoMark;
    if (buffer.size() < 4)
        return;
    if (startsWith(buffer, {0x00, 0x00, 0xFE, 0xFF}))
        m_encoding = eUTF32BE;
    else if (startsWith(buffer, {0xEF, 0xBB, 0xBF}))
        m_encoding = eUTF8;
    else if (startsWith(buffer, {0xFE, 0xFF}))
        m_encoding = eUTF16BE;
    else if (startsWith(buffer, {0xFF, 0xFE}))
        m_encoding = (buffer[2] == 0 && buffer[3] == 0) ? eUTF32LE : eUTF16LE;
}

bool StyleParser2::processBuffer(std::string const& buffer, std::string const& sourceName)
{
    if (m_encoding >= eUTF16BE) {
        addErrorMessage(currentSource(), 0, "Unsupported buffer encoding");
        return false;
    }
    std::size_t const markLength = std::min(markLengths()[m_encoding], buffer.size());
    reserveRulesFor(buffer.begin() + markLength, buffer.end());
    return DETAIL::runStyleGrammar(this, sourceName, buffer.begin() + markLength, buffer.end());
}

bool StyleParser2::processString(std::string const& text)
{
    reserveRulesFor(text.begin(), text.end());
    return DETAIL::runStyleGrammar(this, kStringSourceName, text.begin(), text.end());
}

// Growing the rule list by doubling moves every rule again and again and
// hands large blocks back to the system, only to fetch them again; one
// reservation up front keeps the parse of an ordinary sheet linear. Each rule
// handed over ends with a closing brace of its own and takes at least six
// characters ("A{x:1}"), so this bounds the rules of the text from above;
// a large text is not trusted to hold that many (a sheet of closing braces
// holds none), so no more than 1 MiB of rules is reserved for it, and the
// list grows by doubling after that.
void StyleParser2::reserveRulesFor(std::string::const_iterator first, std::string::const_iterator last)
{
    std::size_t const length = std::size_t(last - first);
    std::size_t const braces = std::size_t(std::count(first, last, '}'));
    std::size_t const needed = m_rules.size() + std::min({braces, length / 6, kRulesReservedAtMost});
    if (needed > m_rules.capacity())
        m_rules.reserve(std::max(needed, 2 * m_rules.capacity()));
}

bool StyleParser2::processString(BAS::CharSequence<char> const& text)
{
    void const* nul = std::memchr(text.data(), 0, text.length());
    std::size_t const length = nul ? std::size_t(static_cast<char const*>(nul) - text.data()) : text.length();
    return processString(std::string(text.data(), length));
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
    addErrorMessage(currentSource(), line,
                    lineMessage("PARSER ERROR at line %d: use of undefined constant ", line) + name);
    tPropertyValue zero;
    zero.value.emplace<int32_t>(0);
    return zero;
}

// An import is parsed in the middle of the importing sheet; its rules and
// constants join this parser. A sheet imported once in this parse is not
// imported again.
void StyleParser2::processImport(unsigned line, std::string const& name)
{
    BAS::FileName const saved = m_currentFile;
    eEncoding const savedEncoding = m_encoding;
    m_currentFile.setFull(name);
    // Items of one container file are sheets of their own.
    std::string const path = m_currentFile.full + m_currentFile.subpath;

    std::string const importer = saved.full.empty() ? m_sourceName : saved.full;
    if (m_importDepth >= kMaxImportDepth) {
        refuse(fmt::format("style sheet {} is imported more than {} deep (from {})", path, kMaxImportDepth, importer));
        logError(saved.full, line,
                 lineMessage("PARSER ERROR at line %d: imports nested too deeply, stylesheet ", line) + path);
    } else if (!m_imports.insert(path).second) {
        addErrorMessage(saved.full, line,
                        lineMessage("PARSER ERROR at line %d: recursive import of stylesheet ", line) + path);
    } else {
        ++m_importDepth;
        std::string problem;
        bool const read = readImport(name, saved, problem);
        --m_importDepth;
        if (!read && !problem.empty())
            refuse(fmt::format("style sheet {} imported at line {} of {} names no readable file ({})", path, line,
                               importer, problem));
        if (!read) {
            logError(saved.full, line,
                     lineMessage("PARSER ERROR at line %d: Failed to import stylesheet ", line) + m_currentFile.full);
            m_imports.erase(path);
        }
    }
    m_currentFile = saved;
    m_encoding = savedEncoding;
}

// A name with volume and directory is read as it stands; a relative one
// from the skin resources of the sheet being loaded, or beside the importing
// file when there is no sheet.
bool StyleParser2::readImport(std::string const& name, BAS::FileName const& importer, std::string& problem)
{
    if (m_sheet && m_currentFile.relative) {
        ManagerContainer::tResource const found =
            m_sheet->getManager().findResource(name, ManagerContainer::eStyleSheet, true);
        if (!found.stream) {
            if (found.outcome != SkinFileOutcome::eOutside)
                problem = found.path + ": " + whyUnread(found.outcome, found.problem);
            return false;
        }
        return parsedImport(*found.stream, name, found.path, problem);
    }
    if (m_currentFile.relative)
        m_currentFile.setPath(importer.volume + importer.directory, BAS::FileName::eWithVolumeInPath);
    std::string const path = m_currentFile.getSystemPath(false, true);
    SkinFile::tOpened const opened = openSheetFile(m_currentFile);
    if (!opened.file) {
        problem = path + ": " + whyUnread(opened.outcome, opened.problem);
        return false;
    }
    return parsedImport(*opened.file, sourceNameOf(m_currentFile), path, problem);
}

bool StyleParser2::parsedImport(BAS::Stream& stream, std::string const& sourceName, std::string const& path,
                                std::string& problem)
{
    bool const wasRefused = m_refusedForSize;
    m_refusedForSize = false;
    bool const parsed = processStream(stream, sourceName);
    if (!parsed && !m_refusedForSize)
        problem = path + ": does not parse";
    m_refusedForSize = m_refusedForSize || wasRefused;
    return parsed;
}

void StyleParser2::refuse(std::string const& what)
{
    if (m_sheet)
        m_sheet->getManager().reportRefusal(what);
    else
        SkinRefusal::report(what);
}

void StyleParser2::addErrorMessage(unsigned line, std::string const& text)
{
    addErrorMessage(currentSource(), line, text);
}

void StyleParser2::addErrorMessage(std::string const& source, unsigned line, std::string const& text)
{
    if (m_firstError.text.empty())
        m_firstError = tError{source, line, text};
    logError(source, line, text);
}

void StyleParser2::logError(std::string const& source, unsigned line, std::string const& text)
{
    m_errors[source].emplace(line, text);
    StyleSheetErrorsLogSource::log(fmt::format("Stylesheet error: {0}:{1} - {2}", source, line, text));
}

} // namespace CV::TOV
