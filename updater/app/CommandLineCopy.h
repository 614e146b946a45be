#pragma once
// A private copy of the command line: the arguments back to back in one
// buffer, each with its zero byte, and a vector of pointers to them that
// ends with a null entry, as an argv does.
#include <vector>

namespace CV {

class CommandLineCopy {
public:
    // Replaces the copy with the arguments of argv.
    void assign(int argc, char const* const* argv);

    int argc() const { return static_cast<int>(m_args.size()) - 1; }
    // argc() entries, then null.
    char** argv() { return m_args.data(); }
    std::vector<char> const& buffer() const { return m_buffer; }

private:
    std::vector<char*> m_args{nullptr};
    std::vector<char> m_buffer;
};

} // namespace CV
