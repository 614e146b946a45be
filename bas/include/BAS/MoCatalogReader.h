#pragma once
// Reads a message catalogue in the GNU message-object layout (either byte
// order) from a memory block into a map from source text to translation.
//
// The block is never trusted: the header, both tables and every string
// must lie inside it. A catalogue whose magic or revision is wrong, whose
// string count is 0 or whose tables do not fit the block loads nothing; an
// entry whose source text or translation does not fit is skipped. Entries
// with an empty source text (the catalogue's header) are skipped too. Texts
// are taken up to their first NUL (the singular form of a plural entry).
#include <cstddef>
#include <map>
#include <string>

namespace CV {
namespace BAS {

class MoCatalogReader {
public:
    static constexpr std::size_t kHeaderSize = 28;

    // Adds the catalogue's entries to texts (a later entry replaces an
    // earlier one with the same source text). Returns the number of entries
    // taken.
    static std::size_t read(const void* data, std::size_t size, std::map<std::string, std::string>& texts);

    MoCatalogReader() = delete;
};

} // namespace BAS
} // namespace CV
