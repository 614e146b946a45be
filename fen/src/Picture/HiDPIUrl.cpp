#include "FEN/HiDPIUrl.h"

#include <boost/filesystem/path.hpp>

namespace CV {
namespace FEN {

std::string resolveHiDPIUrl(std::string const& path, float scale)
{
    if (scale == 1.0f)
        return path;
    boost::filesystem::path const original(path);
    std::string const name = original.stem().string() + "@2x" + original.extension().string();
    return (original.parent_path() / name).string();
}

} // namespace FEN
} // namespace CV
