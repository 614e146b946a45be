#include "cv/symbol.h"

#include <cstring>
#include <mutex>
#include <ostream>

namespace cv {

namespace {

// Find-or-insert of nodes under one mutex; 4096 buckets, never rehashed.
// The table is made on first use and never destroyed, so symbols can be
// made and read by exit-time destructors too.
class SymbolTable {
public:
    static SymbolTable& instance()
    {
        static SymbolTable* const table = new SymbolTable;
        return *table;
    }

    const symbol::node* intern(const char* text, std::size_t length)
    {
        const std::size_t hash = symbol::hashOf(text, length);
        std::lock_guard<std::mutex> lock(m_mutex);
        symbol::node*& head = m_buckets[hash & (symbol::bucket_count - 1)];
        for (const symbol::node* n = head; n; n = n->next) {
            if (n->hash == hash && n->text.size() == length && std::memcmp(n->text.data(), text, length) == 0)
                return n;
        }
        head = new symbol::node{head, std::string(text, length), hash};
        return head;
    }

private:
    std::mutex m_mutex;
    symbol::node* m_buckets[symbol::bucket_count] = {};
};

std::size_t textLength(const char* text, std::size_t length) noexcept
{
    if (!text)
        return 0;
    const void* nul = std::memchr(text, '\0', length);
    return nul ? std::size_t(static_cast<const char*>(nul) - text) : length;
}

const symbol::node* emptyNode()
{
    static const symbol::node* const node = SymbolTable::instance().intern("", 0);
    return node;
}

} // namespace

symbol::symbol()
    : m_node(emptyNode())
{
}

symbol::symbol(const std::string& text)
    : symbol(text.data(), text.size())
{
}

symbol::symbol(const char* text, std::size_t length)
    : m_node(SymbolTable::instance().intern(text ? text : "", textLength(text, length)))
{
}

bool symbol::operator==(const char* text) const noexcept
{
    return text && std::strcmp(m_node->text.c_str(), text) == 0;
}

std::size_t symbol::hashOf(const char* text, std::size_t length) noexcept
{
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < length && text[i] != '\0'; ++i)
        h = h * 65599u + std::uint64_t(std::int64_t(static_cast<signed char>(text[i])));
    return std::size_t(h);
}

std::ostream& operator<<(std::ostream& out, const symbol& s)
{
    return out.write(s.string().data(), std::streamsize(s.string().size()));
}

} // namespace cv
