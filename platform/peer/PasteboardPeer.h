#pragma once
// A named pasteboard holding items, each with data in one or more types
// (uniform type names such as "public.utf8-plain-text"). On the desktop the
// general pasteboard is the GtkClipboard and the drag pasteboard the
// running drag's data; headless they live in the process.
#include <cstdint>
#include <string>
#include <vector>

namespace platform::peer {

class PasteboardPeer {
public:
    virtual ~PasteboardPeer() = default;
    virtual const std::string& name() const = 0;
    // Empties the pasteboard; the change count goes up.
    virtual void clear() = 0;
    virtual long changeCount() const = 0;
    // Adds data of a type to item index (items are made as needed).
    virtual void put(std::size_t item, const std::string& type, std::vector<std::uint8_t> data) = 0;
    virtual std::size_t itemCount() const = 0;
    virtual std::vector<std::string> types(std::size_t item) const = 0;
    // Empty when the item has no such type.
    virtual std::vector<std::uint8_t> data(std::size_t item, const std::string& type) const = 0;
};

} // namespace platform::peer
