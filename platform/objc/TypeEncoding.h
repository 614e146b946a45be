#pragma once
// The object run time's type strings of C++ types, for method and instance
// variable descriptions. Structures describe themselves by specialising
// TypeEncoding (the geometry types do); other types read as unknown ("?").
#include <objc/runtime.h>

#include <string>
#include <type_traits>

namespace platform::objc {

template <typename T, typename Enable = void> struct TypeEncoding {
    static std::string get() { return "?"; }
};

#define PLATFORM_OBJC_ENCODING(type, text)                                                                             \
    template <> struct TypeEncoding<type> {                                                                            \
        static std::string get() { return text; }                                                                      \
    };

PLATFORM_OBJC_ENCODING(void, "v")
PLATFORM_OBJC_ENCODING(id, "@")
PLATFORM_OBJC_ENCODING(SEL, ":")
PLATFORM_OBJC_ENCODING(Class, "#")
PLATFORM_OBJC_ENCODING(bool, "B")
PLATFORM_OBJC_ENCODING(char, "c")
PLATFORM_OBJC_ENCODING(signed char, "c")
PLATFORM_OBJC_ENCODING(unsigned char, "C")
PLATFORM_OBJC_ENCODING(short, "s")
PLATFORM_OBJC_ENCODING(unsigned short, "S")
PLATFORM_OBJC_ENCODING(int, "i")
PLATFORM_OBJC_ENCODING(unsigned int, "I")
PLATFORM_OBJC_ENCODING(long, "l")
PLATFORM_OBJC_ENCODING(unsigned long, "L")
PLATFORM_OBJC_ENCODING(long long, "q")
PLATFORM_OBJC_ENCODING(unsigned long long, "Q")
PLATFORM_OBJC_ENCODING(float, "f")
PLATFORM_OBJC_ENCODING(double, "d")
PLATFORM_OBJC_ENCODING(const char*, "*")
PLATFORM_OBJC_ENCODING(char*, "*")

// Other pointers: a pointer to void.
template <typename T>
struct TypeEncoding<T*,
                    std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<T*, id> &&
                                     !std::is_same_v<T*, SEL> && !std::is_same_v<T*, Class>>> {
    static std::string get() { return "^v"; }
};

// Return type, receiver, selector, then the arguments.
template <typename R, typename... Args> std::string methodEncoding()
{
    return TypeEncoding<R>::get() + "@:" + (std::string() + ... + TypeEncoding<Args>::get());
}

} // namespace platform::objc
