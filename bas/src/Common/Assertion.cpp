#include "BAS/Assertion.h"

#include "BAS/DebugTrace.h"
#include "BAS/Message.h"
#include "bas/linux/Debugger.h"
#include "platform/runloop/MainLoop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace CV {
namespace BAS {

bool Assertion::s_bThrowException = false;
Assertion::Handler Assertion::s_PreAssertionHandler = nullptr;
Assertion::Handler Assertion::s_TerminationHandler = nullptr;
bool Assertion::s_bSilent = false;

namespace DETAIL {
std::atomic<int32_t> s_iAssertReenter{1};
} // namespace DETAIL

namespace {

constexpr std::size_t kMessageCapacity = 1024;

char s_whatBuffer[kMessageCapacity];

// The text when it is 7-bit ASCII and shorter than 1024 characters, else
// null.
const char* printableOrNull(const char* text)
{
    if (text == nullptr)
        return nullptr;
    const std::size_t length = ::strnlen(text, kMessageCapacity);
    if (length >= kMessageCapacity)
        return nullptr;
    for (std::size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return nullptr;
    return text;
}

const char* orNullMark(const char* text)
{
    return text ? text : "(null)";
}

// A nested report (one already under way) breaks into an attached
// debugger, then goes on.
void noteReportStarts()
{
    if (DETAIL::s_iAssertReenter.fetch_sub(1) <= 0) {
        DETAIL::s_iAssertReenter.fetch_add(1);
        LINUX::Debugger::breakIfAttached();
    }
}

void showReport(const char* message)
{
    if (!platform::MainLoop::isMainThread()) {
        // No dialog off the main thread.
        std::fprintf(stderr, "%s\n", message);
        std::fflush(stderr);
        return;
    }
    Message::show(message, Message::eTypeOK, Message::eButtonNone, Message::eIconNone, nullptr);
}

} // namespace

Assertion::exception::~exception() = default;

const char* Assertion::exception::what() const noexcept
{
    if (text)
        std::snprintf(s_whatBuffer, sizeof s_whatBuffer, "Assertion in %s:%d %s", orNullMark(file), line, text);
    else
        std::snprintf(s_whatBuffer, sizeof s_whatBuffer, "Assertion in %s:%d", orNullMark(file), line);
    return s_whatBuffer;
}

int Assertion::DoFail(const char* file, int line, const char* text)
{
    file = printableOrNull(file);
    text = printableOrNull(text);
    if (s_bThrowException)
        throw exception(file, line, text);
    noteReportStarts();
    if (s_PreAssertionHandler)
        s_PreAssertionHandler();

    char message[kMessageCapacity];
    if (text)
        std::snprintf(message, sizeof message, "Error %s:%d\n\n%s", orNullMark(file), line, text);
    else
        std::snprintf(message, sizeof message, "Error %s:%d", orNullMark(file), line);
    showReport(message);

    if (s_TerminationHandler)
        s_TerminationHandler();
    fcloseall();
    std::exit(1);
}

} // namespace BAS
} // namespace CV
