#pragma once
// Whole-file reads of files that may come from anyone (a property list in a
// folder the user picked, a mount table, a file named by an environment
// variable): only a regular file is read, and only up to a size limit, so
// that a device, a fifo, a folder or a huge file fails at once with a reason
// instead of blocking, allocating without bound or reading nothing.
#include <cstddef>
#include <string>

namespace platform {

class SmallFile {
public:
    enum class Failure {
        None,
        Missing, // no such file (or a path through a missing folder)
        NotRegular, // a folder, device, fifo or socket
        TooLarge, // more than maxBytes
        Unreadable, // any other error of the system
        Link, // the last component is a symbolic link (read without following links)
    };

    // Whether a symbolic link as the last component of the path is followed.
    enum class Links { Follow, Refuse };

    struct Outcome {
        Failure failure = Failure::None;
        int systemError = 0; // errno of Missing and Unreadable
        std::size_t maxBytes = 0;

        explicit operator bool() const { return failure == Failure::None; }
        // One line that says why, without the path: "not a regular file",
        // "larger than 1048576 bytes", "a symbolic link", the system's text.
        std::string reason() const;
    };

    // Reads the whole file into text (at most maxBytes bytes; text is empty
    // on failure). Files of the kernel's pseudo file systems report no size,
    // so the limit is applied to what is read, not only to the size the
    // file claims. With links refused, a path whose last component is a
    // symbolic link fails as Link (the folders on the way are still
    // followed: give it a real path to follow none).
    static Outcome read(const std::string& path, std::size_t maxBytes, std::string& text, Links links = Links::Follow);
    // Whether read would take the file as it is now (opened the same way,
    // a regular file of at most maxBytes), without reading it.
    static Outcome check(const std::string& path, std::size_t maxBytes, Links links = Links::Follow);

    SmallFile() = delete;
};

} // namespace platform
