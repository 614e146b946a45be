#pragma once
// Empties a container and returns its memory by exchanging its contents with
// a fresh empty one.
namespace CV {
namespace BAS {

template <class Map> void clearFull(Map& map)
{
    Map empty;
    map.swap(empty);
}

} // namespace BAS
} // namespace CV
