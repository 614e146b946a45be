#include "BAS/ResourceStream.h"

namespace CV {
namespace BAS {

ResourceStream::ResourceStream()
{
    setStorage(&m_resourceStorage);
}

bool ResourceStream::init(void* bundle, unsigned int id, const char* type)
{
    return m_resourceStorage.init(bundle, id, type);
}

bool ResourceStream::init(void* bundle, const char* name, const char* type)
{
    return m_resourceStorage.init(bundle, name, type);
}

} // namespace BAS
} // namespace CV
