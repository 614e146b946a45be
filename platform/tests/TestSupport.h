#pragma once
// Helpers shared by the platform tests: a copy of the test bundle in a
// temporary folder, environment variables set for one scope, and owning
// holders of value references.
#include "platform/cf/CFString.h"

#include "VarantoTest/ScopedEnvironmentVariable.h"
#include "VarantoTest/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace platform::test {

using TempFolder = CV::test::TemporaryFolder;

// The test bundle T.app copied into a fresh temporary folder.
class TestBundleCopy : public TempFolder {
public:
    TestBundleCopy()
    {
        std::filesystem::copy(std::string(VARANTO_TEST_DATA_DIR) + "/T.app", bundlePath(),
                              std::filesystem::copy_options::recursive);
    }
    std::string bundlePath() const { return (path() / "T.app").string(); }
};

using ScopedEnv = CV::test::ScopedEnvironmentVariable;

// Owns one reference.
template <typename Ref> class Owned {
public:
    explicit Owned(Ref ref = nullptr)
        : m_ref(ref)
    {
    }
    ~Owned()
    {
        if (m_ref)
            CFRelease(m_ref);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Ref get() const { return m_ref; }
    explicit operator bool() const { return m_ref != nullptr; }

private:
    Ref m_ref;
};

inline Owned<CFStringRef> str(const std::string& text)
{
    return Owned<CFStringRef>(platform::cf::String::createFromUTF8(text));
}

inline std::string utf8(CFTypeRef string)
{
    const auto* s = platform::cf::String::fromRef(string);
    return s && CFGetTypeID(string) == CFStringGetTypeID() ? s->utf8() : std::string("<not a string>");
}

} // namespace platform::test
