#include "platform/pasteboard/InProcessPasteboard.h"

namespace platform::pasteboard {

void InProcessPasteboard::clear()
{
    m_items.clear();
    ++m_changeCount;
}

void InProcessPasteboard::put(std::size_t item, const std::string& type, std::vector<std::uint8_t> data)
{
    if (item >= m_items.size())
        m_items.resize(item + 1);
    for (auto& [existing, bytes] : m_items[item])
        if (existing == type) {
            bytes = std::move(data);
            return;
        }
    m_items[item].emplace_back(type, std::move(data));
}

std::vector<std::string> InProcessPasteboard::types(std::size_t item) const
{
    std::vector<std::string> names;
    if (item < m_items.size())
        for (const auto& entry : m_items[item])
            names.push_back(entry.first);
    return names;
}

std::vector<std::uint8_t> InProcessPasteboard::data(std::size_t item, const std::string& type) const
{
    if (item < m_items.size())
        for (const auto& entry : m_items[item])
            if (entry.first == type)
                return entry.second;
    return {};
}

} // namespace platform::pasteboard
