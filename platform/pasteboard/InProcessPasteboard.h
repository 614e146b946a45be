#pragma once
// A pasteboard held in the process: items with their data in the types
// put, in the order they were put.
#include "platform/peer/PasteboardPeer.h"

#include <string>
#include <utility>
#include <vector>

namespace platform::pasteboard {

class InProcessPasteboard : public peer::PasteboardPeer {
public:
    explicit InProcessPasteboard(std::string name)
        : m_name(std::move(name))
    {
    }
    const std::string& name() const override { return m_name; }
    void clear() override;
    long changeCount() const override { return m_changeCount; }
    void put(std::size_t item, const std::string& type, std::vector<std::uint8_t> data) override;
    std::size_t itemCount() const override { return m_items.size(); }
    std::vector<std::string> types(std::size_t item) const override;
    std::vector<std::uint8_t> data(std::size_t item, const std::string& type) const override;

private:
    // Types in the order they were put.
    using Item = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;
    std::string m_name;
    long m_changeCount = 0;
    std::vector<Item> m_items;
};

} // namespace platform::pasteboard
