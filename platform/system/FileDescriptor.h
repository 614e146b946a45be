#pragma once
// An open file descriptor that is closed when its holder goes (or when
// another takes its place); -1 holds none.
#include <unistd.h>

namespace platform {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_descriptor; }
    void reset(int descriptor)
    {
        close();
        m_descriptor = descriptor;
    }

private:
    void close()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }

    int m_descriptor;
};

} // namespace platform
