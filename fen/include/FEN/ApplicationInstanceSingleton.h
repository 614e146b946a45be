#pragma once
// Whether another copy of the application runs: the first copy holds an
// exclusive lock on a per-user lock file named after the instance id for
// the life of the process.
#include <string>

namespace CV {
namespace FEN {

class ApplicationInstanceSingleton {
public:
    enum Mode { eSystemWide = 0, eUser = 1 };

    // false for an empty name; otherwise true when another process holds
    // the lock of name. The first call that gets the lock keeps it until
    // the process ends (it is not inherited by children).
    static bool hasConflictingInstance(std::string const& name, Mode mode);
    // The lock file of name: in $XDG_RUNTIME_DIR, else the temporary
    // folder under a name that carries the user id.
    static std::string lockFilePath(std::string const& name);
    // Where the copy holding the lock of name hears later copies: beside
    // its lock file in $XDG_RUNTIME_DIR, else in a folder of the user's own
    // named like the lock file, in the temporary folder.
    static std::string channelPath(std::string const& name);

    ApplicationInstanceSingleton() = delete;
};

} // namespace FEN
} // namespace CV
