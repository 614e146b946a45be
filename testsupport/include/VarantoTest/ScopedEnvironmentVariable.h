#pragma once
// An environment variable set (or, with a null value, removed) for the
// lifetime of the holder; what it was before comes back when the holder
// goes.
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace CV {
namespace test {

class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const char* value)
        : m_name(std::move(name))
    {
        if (const char* old = std::getenv(m_name.c_str()))
            m_old = old;
        set(value);
    }
    ~ScopedEnvironmentVariable()
    {
        if (m_restore)
            set(m_old ? m_old->c_str() : nullptr);
    }

    ScopedEnvironmentVariable(ScopedEnvironmentVariable&& other) noexcept
        : m_name(std::move(other.m_name))
        , m_old(std::move(other.m_old))
        , m_restore(std::exchange(other.m_restore, false))
    {
    }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(ScopedEnvironmentVariable&&) = delete;

private:
    void set(const char* value) const
    {
        if (value)
            ::setenv(m_name.c_str(), value, 1);
        else
            ::unsetenv(m_name.c_str());
    }

    std::string m_name;
    std::optional<std::string> m_old;
    bool m_restore = true;
};

} // namespace test
} // namespace CV
