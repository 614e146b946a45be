#include "platform/cf/CFNumber.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace platform::cf {

Number::Number(std::int64_t value)
    : Object(TypeId::Number)
    , m_isFloat(false)
    , m_integer(value)
    , m_float(static_cast<double>(value))
{
}

Number::Number(double value)
    : Object(TypeId::Number)
    , m_isFloat(true)
    , m_integer(0)
    , m_float(value)
{
}

bool Number::equals(const Object& other) const
{
    const auto& number = static_cast<const Number&>(other);
    if (!m_isFloat && !number.m_isFloat)
        return m_integer == number.m_integer;
    return m_float == number.m_float;
}

std::size_t Number::hash() const
{
    // Equal values hash alike whether stored as integer or as double.
    return std::hash<double>()(m_float);
}

const Number* Number::fromRef(CFTypeRef ref) noexcept
{
    return Object::fromRefOfType<Number>(ref, TypeId::Number);
}

} // namespace platform::cf

namespace {

using platform::cf::Number;

template <typename T> const Number* createFrom(const void* valuePtr)
{
    T value;
    std::memcpy(&value, valuePtr, sizeof value);
    if constexpr (std::is_floating_point_v<T>)
        return new Number(static_cast<double>(value));
    else
        return new Number(static_cast<std::int64_t>(value));
}

template <typename T> bool storeAs(const Number& number, void* valuePtr)
{
    T value{};
    bool exact = true;
    if constexpr (std::is_floating_point_v<T>) {
        value = number.isFloat() ? static_cast<T>(number.floatValue()) : static_cast<T>(number.integerValue());
        exact = number.isFloat() ? static_cast<double>(value) == number.floatValue() || std::isnan(value)
                                 : static_cast<std::int64_t>(value) == number.integerValue();
    } else if (number.isFloat()) {
        const double d = number.floatValue();
        const bool inRange = d >= static_cast<double>(std::numeric_limits<T>::min()) &&
            d <= static_cast<double>(std::numeric_limits<T>::max());
        value = inRange ? static_cast<T>(d) : T{};
        exact = inRange && static_cast<double>(value) == d;
    } else {
        const std::int64_t i = number.integerValue();
        value = static_cast<T>(i);
        exact = static_cast<std::int64_t>(value) == i;
    }
    std::memcpy(valuePtr, &value, sizeof value);
    return exact;
}

} // namespace

CFTypeID CFNumberGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::Number);
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr)
{
    if (valuePtr == nullptr)
        return nullptr;
    switch (theType) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType: return createFrom<std::int8_t>(valuePtr);
    case kCFNumberSInt16Type:
    case kCFNumberShortType: return createFrom<std::int16_t>(valuePtr);
    case kCFNumberSInt32Type:
    case kCFNumberIntType: return createFrom<std::int32_t>(valuePtr);
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType: return createFrom<std::int64_t>(valuePtr);
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: return createFrom<float>(valuePtr);
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType: return createFrom<double>(valuePtr);
    default: return nullptr;
    }
}

CFNumberType CFNumberGetType(CFNumberRef number)
{
    return number && number->isFloat() ? kCFNumberFloat64Type : kCFNumberSInt64Type;
}

Boolean CFNumberIsFloatType(CFNumberRef number)
{
    return number && number->isFloat();
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr)
{
    if (number == nullptr || valuePtr == nullptr)
        return false;
    switch (theType) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType: return storeAs<std::int8_t>(*number, valuePtr);
    case kCFNumberSInt16Type:
    case kCFNumberShortType: return storeAs<std::int16_t>(*number, valuePtr);
    case kCFNumberSInt32Type:
    case kCFNumberIntType: return storeAs<std::int32_t>(*number, valuePtr);
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType: return storeAs<std::int64_t>(*number, valuePtr);
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: return storeAs<float>(*number, valuePtr);
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType: return storeAs<double>(*number, valuePtr);
    default: return false;
    }
}
