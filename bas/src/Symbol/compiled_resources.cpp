#include "cv/compiled_resources.h"

#include <stdexcept>
#include <unordered_map>

namespace cv {

namespace {

using NameMap = std::unordered_map<symbol, compiled_resources::data_ref>;
using TypeIndexMap = std::unordered_map<compiled_resources::type_index_key, compiled_resources::data_ref,
                                        compiled_resources::type_index_key_hash>;

template <typename Map> Map makeMap()
{
    Map map;
    map.max_load_factor(1.0f);
    return map;
}

const NameMap& namedResources()
{
    static const NameMap map = makeMap<NameMap>();
    return map;
}

const TypeIndexMap& typedResources()
{
    static const TypeIndexMap map = makeMap<TypeIndexMap>();
    return map;
}

template <typename Map, typename Key> compiled_resources::data_ref lookUp(const Map& map, const Key& key)
{
    const auto found = map.find(key);
    if (found == map.end())
        throw std::runtime_error("resource not found");
    return found->second;
}

} // namespace

std::size_t compiled_resources::type_index_key_hash::operator()(const type_index_key& key) const noexcept
{
    return std::get<0>(key).hash() * 31u + std::get<1>(key);
}

compiled_resources::data_ref compiled_resources::resolve_resource_data(symbol name)
{
    return lookUp(namedResources(), name);
}

compiled_resources::data_ref compiled_resources::resolve_resource_data(symbol type, unsigned int index)
{
    return lookUp(typedResources(), type_index_key(type, index));
}

} // namespace cv
