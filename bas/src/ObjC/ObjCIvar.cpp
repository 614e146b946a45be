#include "BAS/ObjCIvar.h"

#include <cstring>

namespace CV {
namespace BAS {
namespace OBJC {

namespace {

Ivar findIvar(id object, const char* name)
{
    if (object == nil || name == nullptr)
        return nullptr;
    return class_getInstanceVariable(object_getClass(object), name);
}

// The variable's bytes inside the object.
unsigned char* storageOf(id object, Ivar ivar)
{
    return reinterpret_cast<unsigned char*>(object) + ivar_getOffset(ivar);
}

template <typename T> T readIvar(id object, const char* name)
{
    T value{};
    if (Ivar ivar = findIvar(object, name))
        std::memcpy(&value, storageOf(object, ivar), sizeof value);
    return value;
}

template <typename T> void writeIvar(id object, const char* name, T value)
{
    if (Ivar ivar = findIvar(object, name))
        std::memcpy(storageOf(object, ivar), &value, sizeof value);
}

} // namespace

id getIvarPtr(id object, const char* name)
{
    Ivar ivar = findIvar(object, name);
    return ivar != nullptr ? object_getIvar(object, ivar) : nil;
}

void setIvarPtr(id object, const char* name, id value)
{
    if (Ivar ivar = findIvar(object, name))
        object_setIvar(object, ivar, value);
}

uint32_t getIvarUInt32(id object, const char* name)
{
    return readIvar<uint32_t>(object, name);
}

void setIvarUInt32(id object, const char* name, uint32_t value)
{
    writeIvar(object, name, value);
}

float getIvarFloat(id object, const char* name)
{
    return readIvar<float>(object, name);
}

void setIvarFloat(id object, const char* name, float value)
{
    writeIvar(object, name, value);
}

} // namespace OBJC
} // namespace BAS
} // namespace CV
