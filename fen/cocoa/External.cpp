#include "FEN/External.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace CV {
namespace FEN {
namespace External {

namespace {

// scheme ":" ... with scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ),
// and no control characters anywhere.
bool hasScheme(const char* url)
{
    if (!std::isalpha(static_cast<unsigned char>(url[0])))
        return false;
    const char* p = url + 1;
    while (std::isalnum(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-' || *p == '.')
        ++p;
    if (*p != ':')
        return false;
    for (const char* c = url; *c != '\0'; ++c)
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F)
            return false;
    return true;
}

} // namespace

bool openURL(const char* utf8Url)
{
    if (utf8Url == nullptr || !hasScheme(utf8Url))
        return false;
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(utf8Url), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    // Not waited for here; reaped when it ends.
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    }).detach();
    return true;
}

} // namespace External
} // namespace FEN
} // namespace CV
