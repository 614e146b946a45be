#pragma once
// Reports a failed check (a programming error) in a message box and ends
// the process with status 1.
//
// A check is written as: when the condition does not hold,
//     Assertion::DoFail(source path, line, optional text);
#include <atomic>
#include <cstdint>
#include <exception>

namespace CV {
namespace BAS {

class Assertion {
public:
    // Thrown instead of the report while s_bThrowException is set.
    class exception : public std::exception {
    public:
        exception(const char* file, int32_t line, const char* text) noexcept
            : file(file)
            , line(line)
            , text(text)
        {
        }
        ~exception() override;
        // "Assertion in <file>:<line> <text>" (without " <text>" when there
        // is none), in one buffer shared by every instance: each call
        // overwrites what the last one returned.
        const char* what() const noexcept override;

        const char* file;
        int32_t line;
        const char* text;
    };

    using Handler = void (*)();

    // Reports and ends the process; never returns. File and text count as
    // absent unless they are 7-bit ASCII and shorter than 1024 characters.
    // The box shows "Error <file>:<line>" or "Error <file>:<line>\n\n<text>",
    // cut to 1023 characters, with one OK button. Off the main thread the
    // message goes to standard error instead.
    static int DoFail(const char* file, int line, const char* text);
    // Stored only; reporting does not consult it.
    static void setSilent(bool silent) { s_bSilent = silent; }

    static bool s_bThrowException;
    static Handler s_PreAssertionHandler;
    static Handler s_TerminationHandler;
    static bool s_bSilent;

    Assertion() = delete;
};

namespace DETAIL {
// 1 while no report is under way; a report that finds it at 0 or below is
// nested in another one.
extern std::atomic<int32_t> s_iAssertReenter;
} // namespace DETAIL

} // namespace BAS
} // namespace CV
