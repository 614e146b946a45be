#include "BAS/Registry.h"

#include "BAS/Autolock.h"

namespace CV {
namespace BAS {

Registry::Impl* Registry::s_pImpl = nullptr;

bool Registry::get(const char* key, std::vector<std::string>& values, eGetMode mode)
{
    DETAIL::Autolock lock;
    if (s_pImpl == nullptr)
        return false;
    return s_pImpl->get(key, values, mode);
}

bool Registry::deInit()
{
    if (s_pImpl == nullptr)
        return true;
    DETAIL::Autolock lock;
    if (s_pImpl != nullptr) {
        s_pImpl->close();
        delete s_pImpl;
        s_pImpl = nullptr;
    }
    return true;
}

} // namespace BAS
} // namespace CV
