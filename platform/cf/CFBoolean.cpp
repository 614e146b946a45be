#include "platform/cf/CFBoolean.h"

namespace {
// Constant-initialised, so usable from any static initialiser; every user
// holds a reference it got from these, so they are never freed.
platform::cf::BooleanValue s_true(true);
platform::cf::BooleanValue s_false(false);
} // namespace

const CFBooleanRef kCFBooleanTrue = &s_true;
const CFBooleanRef kCFBooleanFalse = &s_false;

CFTypeID CFBooleanGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::Boolean);
}

Boolean CFBooleanGetValue(CFBooleanRef boolean)
{
    return boolean && boolean->value();
}
