#pragma once
// Reading and writing an object's instance variables by name. The variable
// is looked up on the object's class on every call. A variable that does not
// exist (or a nil object) reads as 0 and is not written.
#include <objc/runtime.h>

#include <cstdint>

namespace CV {
namespace BAS {
namespace OBJC {

id getIvarPtr(id object, const char* name);
void setIvarPtr(id object, const char* name, id value);
uint32_t getIvarUInt32(id object, const char* name);
void setIvarUInt32(id object, const char* name, uint32_t value);
float getIvarFloat(id object, const char* name);
void setIvarFloat(id object, const char* name, float value);

} // namespace OBJC
} // namespace BAS
} // namespace CV
