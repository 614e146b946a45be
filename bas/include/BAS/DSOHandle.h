#pragma once
// The application bundle that holds the running code (Name.app, when the
// code runs from Name.app/Contents/MacOS/).
#include "platform/cf/CFBundle.h"

namespace CV {
namespace BAS {

// The cached bundle, resolved when none is cached (a null result is not
// cached: the next call tries again). Not retained for the caller. An
// exception while resolving propagates; the cache stays empty.
CFBundleRef getCurrentDSOHandle();
// Locates the bundle: null when the file of the module holding this code
// has no "Contents/MacOS" in its path, otherwise the bundle of the folder
// three levels above that file. The caller owns the result.
CFBundleRef resolveCurrentDSOHandle();
// Releases the cached bundle and clears the cache.
void releaseCurrentDSOHandle();

} // namespace BAS
} // namespace CV
