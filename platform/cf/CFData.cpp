#include "platform/cf/CFData.h"

CFTypeID CFDataGetTypeID()
{
    return CFTypeID(platform::cf::TypeId::Data);
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
    if (length < 0 || (length > 0 && bytes == nullptr))
        return nullptr;
    return new platform::cf::Data(std::vector<UInt8>(bytes, bytes + length));
}

CFIndex CFDataGetLength(CFDataRef data)
{
    return data ? CFIndex(data->bytes().size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef data)
{
    return data && !data->bytes().empty() ? data->bytes().data() : nullptr;
}
