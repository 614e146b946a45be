#pragma once
// Resource bytes built into the program, looked up by name or by type and
// index. Nothing registers any in this program, so every lookup throws.
#include "cv/array_ref.h"
#include "cv/symbol.h"

#include <cstddef>
#include <tuple>

namespace cv {

class compiled_resources {
public:
    using data_ref = array_ref<unsigned char const>;
    using type_index_key = std::tuple<symbol, unsigned int>;

    struct type_index_key_hash {
        std::size_t operator()(const type_index_key& key) const noexcept;
    };

    // The bytes of a named resource; std::runtime_error("resource not
    // found") when there is none.
    static data_ref resolve_resource_data(symbol name);
    // The bytes of a typed resource; std::runtime_error("resource not
    // found") when there is none.
    static data_ref resolve_resource_data(symbol type, unsigned int index);
};

} // namespace cv
