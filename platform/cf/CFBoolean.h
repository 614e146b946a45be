#pragma once
// The two boolean values; they live for the whole process.
#include "platform/cf/CFType.h"

namespace platform::cf {

class BooleanValue : public Object {
public:
    constexpr explicit BooleanValue(bool value)
        : Object(TypeId::Boolean)
        , m_value(value)
    {
    }
    bool value() const noexcept { return m_value; }
    static const BooleanValue* fromRef(CFTypeRef ref) noexcept
    {
        return Object::fromRefOfType<BooleanValue>(ref, TypeId::Boolean);
    }

private:
    bool m_value;
};

} // namespace platform::cf

typedef const platform::cf::BooleanValue* CFBooleanRef;

extern const CFBooleanRef kCFBooleanTrue;
extern const CFBooleanRef kCFBooleanFalse;

CFTypeID CFBooleanGetTypeID();
// false for null.
Boolean CFBooleanGetValue(CFBooleanRef boolean);
