#include "BAS/DSOHandle.h"

#include "bas/linux/ModulePath.h"

#include <boost/filesystem.hpp>

#include <string>

namespace CV {
namespace BAS {

namespace {

CFBundleRef& cachedBundle()
{
    static CFBundleRef s_bundle = nullptr;
    return s_bundle;
}

// The folder three levels above the module file, made absolute and
// canonical.
std::string bundleFolderOf(const std::string& moduleFile)
{
    const boost::filesystem::path folder =
        boost::filesystem::path(moduleFile).parent_path().parent_path().parent_path();
    return boost::filesystem::canonical(folder, boost::filesystem::current_path()).string();
}

CFBundleRef bundleAt(const std::string& folder)
{
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(folder.data()),
                                                           static_cast<CFIndex>(folder.size()), true);
    if (url == nullptr)
        return nullptr;
    CFBundleRef bundle = CFBundleCreate(nullptr, url);
    CFRelease(url);
    return bundle;
}

} // namespace

CFBundleRef resolveCurrentDSOHandle()
{
    const std::string moduleFile =
        LINUX::ModulePath::ofAddress(reinterpret_cast<const void*>(&resolveCurrentDSOHandle));
    if (moduleFile.find("Contents/MacOS") == std::string::npos)
        return nullptr;
    return bundleAt(bundleFolderOf(moduleFile));
}

CFBundleRef getCurrentDSOHandle()
{
    CFBundleRef& bundle = cachedBundle();
    if (bundle == nullptr)
        bundle = resolveCurrentDSOHandle();
    return bundle;
}

void releaseCurrentDSOHandle()
{
    CFBundleRef& bundle = cachedBundle();
    if (bundle != nullptr)
        CFRelease(bundle);
    bundle = nullptr;
}

} // namespace BAS
} // namespace CV
