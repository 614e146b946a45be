#pragma once
// The bundle of the build, whose linked resources hold the default font;
// its resource map is open while the object lives.
#include <string>

#include "platform/resources/ResourceMap.h"

namespace CV::TOV::TEST {

class StagedBundle {
public:
    StagedBundle()
    {
        std::string const dir = VARANTO_BUNDLE_DIR;
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(dir.data()),
                                                               static_cast<CFIndex>(dir.size()), true);
        m_bundle = CFBundleCreate(nullptr, url);
        CFRelease(url);
        if (m_bundle)
            m_refNum = CFBundleOpenBundleResourceMap(m_bundle);
    }
    ~StagedBundle()
    {
        if (m_bundle) {
            CFBundleCloseBundleResourceMap(m_bundle, m_refNum);
            CFRelease(m_bundle);
        }
    }
    StagedBundle(StagedBundle const&) = delete;
    StagedBundle& operator=(StagedBundle const&) = delete;

    void* handle() const { return const_cast<void*>(static_cast<void const*>(m_bundle)); }

private:
    CFBundleRef m_bundle = nullptr;
    ResFileRefNum m_refNum = -1;
};

} // namespace CV::TOV::TEST
