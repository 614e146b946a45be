#pragma once
// Diagnostic lines by group, on standard error or in a trace file.
//
// A group is enabled when it is null, empty or begins with '+'; otherwise
// the filter mode decides:
//   1  a leading '-' is skipped; enabled when the rest matches an entry
//   2  enabled without a leading '-'; with one, the rest must match
//   other values (0, the default): disabled
// An entry E matches a group G when G begins with E and E is followed by
// the end of G or by '.' ("usb" matches "usb" and "usb.read", not "usbhid").
#include "BAS/CharSequence.h"

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

namespace CV {
namespace BAS {

class DebugTrace {
public:
    // Writes "group: text\n" (one leading '+' or '-' dropped from the group),
    // or "text\n" for a null or empty group, when the group is enabled. The
    // text ends at its length or at a NUL, whichever comes first.
    static void printLine(const char* group, const CharSequence<char>& text);
    static bool isGroupEnabled(const char* group);
    static void clearGroupFilter();

    static int32_t s_theMode;
    static std::set<std::string> s_setDebugTraceGroups;
    // When open, lines go here (flushed after each) instead of standard error.
    static FILE* s_fErr;

    DebugTrace() = delete;
};

// Closes the trace file when one is open and forgets it.
void fcloseall();

} // namespace BAS
} // namespace CV
