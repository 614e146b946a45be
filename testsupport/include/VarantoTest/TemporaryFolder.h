#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace CV {
namespace test {

// A fresh folder of its own under the system's temporary folder (its
// canonical path), removed with everything in it when the holder goes. The
// one temporary-folder helper of every test program.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix = "varanto-test")
    {
        std::string pattern =
            (std::filesystem::canonical(std::filesystem::temp_directory_path()) / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder from " + pattern);
        m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string string() const { return m_path.string(); }

    // The path of `relative` inside the folder.
    std::string at(const std::string& relative) const { return (m_path / relative).string(); }
    // Makes the folder `relative` (and those above it); returns its path.
    std::string folder(const std::string& relative) const
    {
        std::filesystem::create_directories(m_path / relative);
        return at(relative);
    }
    // Writes `bytes` to the file `relative`, making the folders above it;
    // returns its path.
    std::string write(const std::string& relative, const std::string& bytes = std::string()) const
    {
        const std::filesystem::path file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

private:
    std::filesystem::path m_path;
};

} // namespace test
} // namespace CV
