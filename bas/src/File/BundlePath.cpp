#include "BAS/BundlePath.h"

#include "BAS/DSOHandle.h"
#include "platform/cf/CFBundle.h"

namespace CV {
namespace BAS {

namespace {

boost::filesystem::path findCurrentBundlePath()
{
    try {
        CFBundleRef bundle = getCurrentDSOHandle();
        if (!bundle)
            return {};
        CFURLRef url = CFBundleCopyBundleURL(bundle);
        if (!url)
            return {};
        std::string posix = url->posixPath();
        CFRelease(url);
        while (posix.size() > 1 && posix.back() == '/')
            posix.pop_back();
        return boost::filesystem::path(posix);
    } catch (...) {
        return {};
    }
}

} // namespace

const boost::filesystem::path& getCurrentBundlePath()
{
    static const boost::filesystem::path s_bundlePath = findCurrentBundlePath();
    return s_bundlePath;
}

} // namespace BAS
} // namespace CV
