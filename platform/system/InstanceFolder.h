#pragma once
// The folder that holds a program's single-instance lock and the socket on
// which the running copy hears later launches: one that only the user can
// write to, found the same way by every copy of the user's. The first that
// serves:
//
//   1. $XDG_RUNTIME_DIR, when it is set, belongs to the user, no one else
//      may write to it and the user may;
//   2. the program's folder in the user's cache folder
//      ($XDG_CACHE_HOME/<id>, else ~/.cache/<id>), when it exists already;
//   3. <temporary folder>/<id>-<uid> ($TMPDIR, else /tmp), made for the
//      user alone;
//   4. else (someone else's is in the way there) the program's folder in the
//      user's cache folder, made for the user alone. It is used from then on,
//      so a copy started later finds the same folder, whatever becomes of
//      the one in the temporary folder.
//
// A folder made here or taken as the user's own is a real folder (not a
// link) that belongs to the user and no one else may write to, in a folder
// that no one else can rename it out of.
//
//   platform::InstanceFolder folder = platform::InstanceFolder::find("com.example.program");
//   if (folder.usable()) { ... folder.lockFile() ... folder.socket() ... }
//   else std::fprintf(stderr, "%s\n", folder.problem().c_str());
#include <string>

namespace platform {

class InstanceFolder {
public:
    // The folder of the program named id (any characters), made when it
    // is missing.
    static InstanceFolder find(const std::string& id);

    bool usable() const { return !m_folder.empty(); }
    // Empty when no folder serves.
    const std::string& folder() const { return m_folder; }
    std::string lockFile() const;
    std::string socket() const;
    // Why no folder serves: each place tried and what is wrong with it.
    const std::string& problem() const { return m_problem; }

    // Makes folder (not its parents) for the user alone when it is missing;
    // true when it is then the user's private folder, else why not.
    static bool makePrivate(const std::string& folder, std::string& why);
    // Whether folder is a real folder of the user's own that no one else may
    // write to, and the user may; else why not.
    static bool isPrivate(const std::string& folder, std::string& why);

private:
    InstanceFolder() = default;

    std::string m_folder;
    // Names within the folder: the runtime folder is shared by the user's
    // programs, so there they carry the id.
    std::string m_lockName;
    std::string m_socketName;
    std::string m_problem;
};

} // namespace platform
