#include "BAS/ResourceStorage.h"

#include "cv/compiled_resources.h"
#include "cv/symbol.h"
#include "platform/resources/ResourceMap.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

namespace CV {
namespace BAS {

namespace {

// The first four characters of the type text as a big-endian code; a
// shorter text is padded with blanks.
ResType fourCharCodeOf(const std::string& type)
{
    ResType code = 0;
    for (size_t i = 0; i < 4; ++i)
        code = (code << 8) | static_cast<unsigned char>(i < type.size() ? type[i] : ' ');
    return code;
}

// Resource files number their resources with 16-bit ids: the ids 0x8000 to
// 0xFFFF stand for the negative ones, and larger ids name nothing there.
bool fitsResourceId(unsigned int id)
{
    return id <= std::numeric_limits<uint16_t>::max();
}

// The length-prefixed form of the name, or "" when it is too long for one.
std::string lengthPrefixed(const std::string& name)
{
    if (name.size() > 255)
        return std::string();
    return std::string(1, static_cast<char>(name.size())) + name;
}

class BundleResourceMap {
public:
    explicit BundleResourceMap(void* bundle)
        : m_bundle(static_cast<CFBundleRef>(bundle))
    {
        if (m_bundle)
            m_refNum = CFBundleOpenBundleResourceMap(m_bundle);
    }
    ~BundleResourceMap()
    {
        if (m_bundle)
            CFBundleCloseBundleResourceMap(m_bundle, m_refNum);
    }
    BundleResourceMap(const BundleResourceMap&) = delete;
    BundleResourceMap& operator=(const BundleResourceMap&) = delete;

private:
    CFBundleRef m_bundle;
    ResFileRefNum m_refNum = -1;
};

// A handle with its bytes in place, detached and locked; null (any other
// handle disposed of) when the resource is not there.
Handle keptResource(Handle found)
{
    if (found == nullptr)
        return nullptr;
    if (*found == nullptr) {
        DisposeHandle(found);
        return nullptr;
    }
    DetachResource(found);
    HLock(found);
    return found;
}

void reportMissing(const std::string& what)
{
    std::fprintf(stderr, "cannot resolve resource: %s\n", what.c_str());
    std::fflush(stderr);
}

} // namespace

ResourceStorage::~ResourceStorage()
{
    release();
}

void ResourceStorage::release()
{
    m_view.reset();
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
    if (m_handle != nullptr && *m_handle != nullptr) {
        HUnlock(m_handle);
        DisposeHandle(m_handle);
    }
    m_handle = nullptr;
}

void ResourceStorage::openView(const void* data, size_t size)
{
    m_view = std::make_unique<MemoryStorage>();
    m_view->init(eAccessRead, const_cast<void*>(data), size);
    m_accessMode = eAccessRead;
    m_status = eStatusOk;
}

bool ResourceStorage::init(void* bundle, unsigned int id, const char* type)
{
    release();
    const std::string typeText = type ? type : "";
    {
        BundleResourceMap map(bundle);
        if (fitsResourceId(id))
            m_handle = keptResource(Get1Resource(fourCharCodeOf(typeText), static_cast<ResID>(id)));
    }
    if (m_handle != nullptr) {
        openView(*m_handle, static_cast<size_t>(GetHandleSize(m_handle)));
        return true;
    }
    try {
        const auto data = cv::compiled_resources::resolve_resource_data(cv::symbol(typeText), id);
        if (data.data() == nullptr)
            return false;
        openView(data.data(), data.size());
        return true;
    } catch (const std::exception&) {
        reportMissing(typeText + " " + std::to_string(id));
        return false;
    }
}

bool ResourceStorage::init(void* bundle, const char* name, const char* type)
{
    release();
    const std::string typeText = type ? type : "";
    const std::string nameText = name ? name : "";
    {
        BundleResourceMap map(bundle);
        const std::string pascalName = lengthPrefixed(nameText);
        if (!pascalName.empty())
            m_handle = keptResource(
                Get1NamedResource(fourCharCodeOf(typeText), reinterpret_cast<ConstStr255Param>(pascalName.data())));
    }
    if (m_handle != nullptr) {
        openView(*m_handle, static_cast<size_t>(GetHandleSize(m_handle)));
        return true;
    }
    try {
        const auto data = cv::compiled_resources::resolve_resource_data(cv::symbol(nameText));
        if (data.data() == nullptr)
            return false;
        openView(data.data(), data.size());
        return true;
    } catch (const std::exception&) {
        reportMissing(nameText);
        return false;
    }
}

size_t ResourceStorage::read(void* buffer, size_t count)
{
    if (!isUsable() || !m_view)
        return 0;
    const size_t done = m_view->read(buffer, count);
    takeViewStatus();
    return done;
}

size_t ResourceStorage::write(const void* data, size_t count)
{
    if (!isUsable() || !m_view)
        return 0;
    const size_t done = m_view->write(data, count);
    takeViewStatus();
    return done;
}

int64_t ResourceStorage::getPos64() const
{
    return m_view ? m_view->getPos64() : -1;
}

void ResourceStorage::seek64(int64_t offset, eSeekMode origin)
{
    if (!m_view || (origin == eSeekCurrent && !isUsable()))
        return;
    m_view->seek64(offset, origin);
    takeViewStatus();
}

const void* ResourceStorage::getData() const
{
    return m_view ? m_view->getData() : nullptr;
}

size_t ResourceStorage::getSize() const
{
    return m_view ? m_view->getSize() : 0;
}

} // namespace BAS
} // namespace CV
