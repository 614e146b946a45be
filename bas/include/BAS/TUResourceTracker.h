#pragma once
// The resource tracker that every record pool carries.
#include "BAS/ResourceTrackerBase.h"

namespace CV {
namespace BAS {
namespace DETAIL {

class TUResourceTracker : public ResourceTrackerBase {
public:
    constexpr TUResourceTracker() = default;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
