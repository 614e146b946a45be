#pragma once
// Where the running application bundle lies.
#include <boost/filesystem/path.hpp>

namespace CV {
namespace BAS {

// The POSIX path of the bundle holding the running code (without a trailing
// '/'), found on the first call and kept for the life of the process; empty
// when the code does not run from a bundle.
const boost::filesystem::path& getCurrentBundlePath();

} // namespace BAS
} // namespace CV
