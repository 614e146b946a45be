#include "BAS/Autolock.h"

namespace CV {
namespace BAS {
namespace DETAIL {

std::recursive_mutex Autolock::s_mutex;

} // namespace DETAIL
} // namespace BAS
} // namespace CV
