#include "platform/resources/ResourceMap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace platform::resources {

namespace {

// The block behind a handle: the master pointer first, so that the handle
// (its address) leads back to the block.
struct Block {
    Ptr data;
    Size size;
    int lockCount;
};

Block* blockOf(Handle h)
{
    return reinterpret_cast<Block*>(h);
}

Handle handleWithFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return nullptr;
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Handle h = NewHandle(static_cast<Size>(bytes.size()));
    if (h && !bytes.empty())
        std::memcpy(*h, bytes.data(), bytes.size());
    return h;
}

bool isFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file.good();
}

} // namespace

ResourceMap& ResourceMap::instance()
{
    static ResourceMap s_map;
    return s_map;
}

ResFileRefNum ResourceMap::open(CFBundleRef bundle)
{
    if (bundle == nullptr)
        return -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    const ResFileRefNum refNum = m_nextRefNum;
    m_nextRefNum = m_nextRefNum == INT16_MAX ? 1 : static_cast<ResFileRefNum>(m_nextRefNum + 1);
    m_open.push_back(OpenMap{refNum, bundle->resourcesPath() + "/Linked"});
    return refNum;
}

void ResourceMap::close(ResFileRefNum refNum)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find_if(m_open.begin(), m_open.end(), [&](const OpenMap& map) { return map.refNum == refNum; });
    if (it != m_open.end())
        m_open.erase(it);
}

std::string ResourceMap::currentFolder() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open.empty() ? std::string() : m_open.back().folder;
}

std::string ResourceMap::typeFolderName(ResType type)
{
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned char c = static_cast<unsigned char>(type >> shift);
        if (c < 0x20 || c > 0x7E || c == '/' || c == '%') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        } else {
            name += static_cast<char>(c);
        }
    }
    return name;
}

std::string ResourceMap::pathOf(ResType type, ResID id) const
{
    const std::string folder = currentFolder();
    if (folder.empty())
        return std::string();
    const std::string path = folder + "/" + typeFolderName(type) + "/" + std::to_string(id);
    return isFile(path) ? path : std::string();
}

std::string ResourceMap::pathOf(ResType type, const std::string& name) const
{
    const std::string folder = currentFolder();
    if (folder.empty() || name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return std::string();
    const std::string path = folder + "/" + typeFolderName(type) + "/named/" + name;
    return isFile(path) ? path : std::string();
}

OSErr ResourceMap::lastError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

void ResourceMap::setLastError(OSErr error) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lastError = error;
}

} // namespace platform::resources

using platform::resources::ResourceMap;

namespace {

Handle loadResource(const std::string& path)
{
    Handle h = path.empty() ? nullptr : platform::resources::handleWithFile(path);
    ResourceMap::instance().setLastError(h ? noErr : resNotFound);
    return h;
}

} // namespace

ResFileRefNum CFBundleOpenBundleResourceMap(CFBundleRef bundle)
{
    return ResourceMap::instance().open(bundle);
}

void CFBundleCloseBundleResourceMap(CFBundleRef, ResFileRefNum refNum)
{
    ResourceMap::instance().close(refNum);
}

Handle Get1Resource(ResType theType, ResID theID)
{
    return loadResource(ResourceMap::instance().pathOf(theType, theID));
}

Handle Get1NamedResource(ResType theType, ConstStr255Param name)
{
    if (name == nullptr)
        return loadResource(std::string());
    const std::string text(reinterpret_cast<const char*>(name + 1), name[0]);
    return loadResource(ResourceMap::instance().pathOf(theType, text));
}

void DetachResource(Handle) { }

void ReleaseResource(Handle theResource)
{
    DisposeHandle(theResource);
}

OSErr ResError()
{
    return ResourceMap::instance().lastError();
}

Handle NewHandle(Size byteCount)
{
    if (byteCount < 0)
        return nullptr;
    auto* block = new platform::resources::Block{nullptr, byteCount, 0};
    block->data = static_cast<Ptr>(std::malloc(byteCount > 0 ? static_cast<size_t>(byteCount) : 1));
    if (block->data == nullptr) {
        delete block;
        return nullptr;
    }
    return &block->data;
}

void DisposeHandle(Handle h)
{
    if (h == nullptr)
        return;
    auto* block = platform::resources::blockOf(h);
    std::free(block->data);
    delete block;
}

Size GetHandleSize(Handle h)
{
    return h ? platform::resources::blockOf(h)->size : 0;
}

void HLock(Handle h)
{
    if (h)
        ++platform::resources::blockOf(h)->lockCount;
}

void HUnlock(Handle h)
{
    if (h && platform::resources::blockOf(h)->lockCount > 0)
        --platform::resources::blockOf(h)->lockCount;
}
