#include "BAS/GetTextDomain.h"

namespace CV {
namespace BAS {

LibraryTextDomain& GetLibraryTextDomain()
{
    static LibraryTextDomain s_domain("lib");
    return s_domain;
}

} // namespace BAS
} // namespace CV
