#pragma once
// Names a pooled resource for diagnostics.

namespace CV {
namespace BAS {
namespace DETAIL {

class ResourceTrackerBase {
public:
    constexpr explicit ResourceTrackerBase(const char* name = "?")
        : m_pName(name)
    {
    }

    const char* name() const { return m_pName; }
    void setName(const char* name) { m_pName = name; }

private:
    const char* m_pName;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
