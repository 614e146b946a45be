#pragma once
// Facade of a settings registry. No implementation is installed by the
// library; one that is installed is used under the library's mutex.
#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace BAS {

class Registry {
public:
    // How a value is read; the meaning belongs to the implementation.
    enum eGetMode : int32_t {};

    class Impl {
    public:
        virtual ~Impl() = default;
        virtual bool get(const char* key, std::vector<std::string>& values, eGetMode mode) = 0;
        // Called before the implementation is deleted.
        virtual void close() = 0;
    };

    // Forwards to the implementation; false (values untouched) without one.
    static bool get(const char* key, std::vector<std::string>& values, eGetMode mode);
    // Closes, deletes and forgets the implementation; always true. Takes no
    // lock when there is none.
    static bool deInit();

    static Impl* s_pImpl;

    Registry() = delete;
};

} // namespace BAS
} // namespace CV
