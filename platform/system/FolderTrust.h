#pragma once
// Whether files may be taken from a folder that someone else could have put
// there or could change: the folder must belong to the user or to root and
// be writable by its owner only, and the folder holding it must be one that
// nobody else can change its entries in (the user's or root's, not writable
// by others unless sticky, so that the folder cannot be swapped for another
// after the look). A folder that is a symbolic link is judged by the link's
// owner and by the folder it leads to. The folders are looked at through
// descriptors opened without following a link in their place, so the
// judgement is about the folder that is there, not about a name.
#include <sys/types.h>

#include <string>

namespace platform {

class FolderTrust {
public:
    struct Verdict {
        bool trusted = false;
        std::string reason; // why not, without the path: "it belongs to another user (uid 65534)"

        explicit operator bool() const { return trusted; }
    };

    // The folder at path judged for user (the effective user by default).
    // A path that names no folder is not trusted, with the system's reason.
    static Verdict judge(const std::string& path);
    static Verdict judge(const std::string& path, uid_t user);
    // Whether nobody but the user (or root) can add, rename or remove
    // entries of the folder at path, so that an entry checked there stays
    // the one used: the folder test above applies to the folder holding the
    // one judged.
    static Verdict judgeHolder(const std::string& path);

    FolderTrust() = delete;
};

} // namespace platform
