#pragma once
// A stream over a resource of a bundle or of the program (ResourceStorage),
// little-endian until told otherwise. Destroying it releases the resource.
#include "BAS/ResourceStorage.h"
#include "BAS/Stream.h"

namespace CV {
namespace BAS {

class ResourceStream : public Stream {
public:
    ResourceStream();
    ResourceStream(const ResourceStream&) = delete;
    ResourceStream& operator=(const ResourceStream&) = delete;

    bool init(void* bundle, unsigned int id, const char* type);
    bool init(void* bundle, const char* name, const char* type);

    ResourceStorage& getResourceStorage() { return m_resourceStorage; }

private:
    ResourceStorage m_resourceStorage;
};

} // namespace BAS
} // namespace CV
