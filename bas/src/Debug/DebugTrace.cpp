#include "BAS/DebugTrace.h"

#include <climits>
#include <cstring>

namespace CV {
namespace BAS {

int32_t DebugTrace::s_theMode = 0;
std::set<std::string> DebugTrace::s_setDebugTraceGroups;
FILE* DebugTrace::s_fErr = nullptr;

namespace {

bool entryMatches(const std::string& entry, const char* group)
{
    if (entry.empty() || std::strncmp(group, entry.c_str(), entry.size()) != 0)
        return false;
    const char next = group[entry.size()];
    return next == '\0' || next == '.';
}

bool anyEntryMatches(const char* group)
{
    for (const std::string& entry : DebugTrace::s_setDebugTraceGroups)
        if (entryMatches(entry, group))
            return true;
    return false;
}

const char* withoutSign(const char* group)
{
    return group[0] == '+' || group[0] == '-' ? group + 1 : group;
}

} // namespace

bool DebugTrace::isGroupEnabled(const char* group)
{
    if (group == nullptr || group[0] == '\0' || group[0] == '+')
        return true;
    switch (s_theMode) {
    case 1: return anyEntryMatches(withoutSign(group));
    case 2: return group[0] != '-' || anyEntryMatches(group + 1);
    default: return false;
    }
}

void DebugTrace::printLine(const char* group, const CharSequence<char>& text)
{
    if (!isGroupEnabled(group))
        return;
    const char* name = group == nullptr ? "" : withoutSign(group);
    const int length = text.length() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.length());
    FILE* out = s_fErr != nullptr ? s_fErr : stderr;
    // One call per line, so lines of several threads do not mix within a line.
    if (name[0] != '\0')
        std::fprintf(out, "%s: %.*s\n", name, length, text.data());
    else
        std::fprintf(out, "%.*s\n", length, text.data());
    if (s_fErr != nullptr)
        std::fflush(s_fErr);
}

void DebugTrace::clearGroupFilter()
{
    s_setDebugTraceGroups.clear();
}

void fcloseall()
{
    if (DebugTrace::s_fErr == nullptr)
        return;
    std::fclose(DebugTrace::s_fErr);
    DebugTrace::s_fErr = nullptr;
}

} // namespace BAS
} // namespace CV
