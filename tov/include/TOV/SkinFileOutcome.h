#pragma once
// What became of a skin file asked for: read, missing, refused because its
// name leads outside its skin folder, or there but not readable (a folder,
// fifo or device, too large, no permission).
namespace CV::TOV {

enum class SkinFileOutcome { eRead, eMissing, eOutside, eUnreadable };

} // namespace CV::TOV
