#pragma once
// Numbers: one value kept as a 64-bit integer or a double, read back in any
// of the number types.
#include "platform/cf/CFType.h"

#include <cstdint>

typedef CFIndex CFNumberType;
enum : CFNumberType {
    kCFNumberSInt8Type = 1,
    kCFNumberSInt16Type = 2,
    kCFNumberSInt32Type = 3,
    kCFNumberSInt64Type = 4,
    kCFNumberFloat32Type = 5,
    kCFNumberFloat64Type = 6,
    kCFNumberCharType = 7,
    kCFNumberShortType = 8,
    kCFNumberIntType = 9,
    kCFNumberLongType = 10,
    kCFNumberLongLongType = 11,
    kCFNumberFloatType = 12,
    kCFNumberDoubleType = 13,
    kCFNumberCFIndexType = 14,
    kCFNumberNSIntegerType = 15,
    kCFNumberCGFloatType = 16
};

namespace platform::cf {

class Number : public Object {
public:
    explicit Number(std::int64_t value);
    explicit Number(double value);

    bool isFloat() const noexcept { return m_isFloat; }
    std::int64_t integerValue() const noexcept { return m_integer; }
    double floatValue() const noexcept { return m_float; }

    bool equals(const Object& other) const override;
    std::size_t hash() const override;

    static const Number* fromRef(CFTypeRef ref) noexcept;

private:
    bool m_isFloat;
    std::int64_t m_integer;
    double m_float;
};

} // namespace platform::cf

typedef const platform::cf::Number* CFNumberRef;

CFTypeID CFNumberGetTypeID();
// Null for an unknown type or a null value pointer.
CFNumberRef CFNumberCreate(CFAllocatorRef alloc, CFNumberType theType, const void* valuePtr);
CFNumberType CFNumberGetType(CFNumberRef number);
Boolean CFNumberIsFloatType(CFNumberRef number);
// Stores the value converted to theType; false when the conversion loses
// information (out of range, fraction dropped) or the type is unknown.
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);
