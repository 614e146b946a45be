#include "TOV/Property.h"

namespace CV::TOV {

namespace {

bool const s_boolValues[2] = {false, true};

bool const* boolOf(bool value)
{
    return &s_boolValues[value ? 1 : 0];
}

} // namespace

bool const* Property::getBoolValue() const
{
    if (auto const* flag = std::get_if<bool>(&value))
        return flag;
    if (auto const* number = std::get_if<int32_t>(&value))
        return unit == eNone ? boolOf(*number != 0) : nullptr;
    if (auto const* number = std::get_if<uint32_t>(&value))
        return unit == eNone ? boolOf(*number != 0) : nullptr;
    if (auto const* text = std::get_if<std::string>(&value); text && unit == eIdentifier) {
        if (*text == "yes" || *text == "true")
            return boolOf(true);
        if (*text == "no" || *text == "false")
            return boolOf(false);
    }
    return nullptr;
}

} // namespace CV::TOV
