#pragma once
// Whether another copy of the application runs: the first copy holds an
// exclusive lock on a lock file of the user's own, named after the instance
// id, for the life of the process. The lock file lies in a folder only the
// user can write to (platform::InstanceFolder), beside the socket on which
// the running copy hears later copies.
#include <string>

namespace CV {
namespace FEN {

class ApplicationInstanceSingleton {
public:
    enum Mode { eSystemWide = 0, eUser = 1 };

    // false for an empty name; otherwise true when another process holds
    // the lock of name. The first call that gets the lock keeps it until
    // the process ends (it is not inherited by children). Where the check
    // cannot be made (no folder of the user's own, something other than
    // a regular file of the user's own in the lock file's place) one line
    // on standard error says why, and the answer is false.
    static bool hasConflictingInstance(std::string const& name, Mode mode);
    // The lock file of name; "" when no folder serves.
    static std::string lockFilePath(std::string const& name);
    // Where the copy holding the lock of name hears later copies: beside
    // its lock file; "" when no folder serves.
    static std::string channelPath(std::string const& name);

    ApplicationInstanceSingleton() = delete;
};

} // namespace FEN
} // namespace CV
