#pragma once
#include <string>

namespace CV {
namespace FEN {

// The name of the high-resolution variant of a picture file: at any scale
// but exactly 1.0, "@2x" goes between the file's stem and its extension
// ("skins/button.png" -> "skins/button@2x.png"); at 1.0 the path comes back
// as given. Whether that file exists is the caller's business.
std::string resolveHiDPIUrl(std::string const& path, float scale);

} // namespace FEN
} // namespace CV
