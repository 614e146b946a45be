#include "FrameworkTestSupport.h"

namespace CV {
namespace FEN {
namespace TEST {

TestModule& TestModule::instance()
{
    static TestModule s_module;
    return s_module;
}

// Constructed before any test runs, so it is the current module.
namespace {
const bool s_moduleMade = (TestModule::instance(), true);
}

} // namespace TEST
} // namespace FEN
} // namespace CV
