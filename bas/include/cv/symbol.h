#pragma once
// Interned strings: equal texts share one node, so a symbol is copied as one
// pointer and compared by identity. Nodes live until the process ends;
// symbols may be made and read from any thread, also by static initialisers
// and destructors.
//
// Texts are interned up to their first NUL.
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>

namespace cv {

class symbol {
public:
    struct node {
        node* next;
        std::string text;
        std::size_t hash;
    };

    static constexpr std::size_t bucket_count = 4096;

    // The symbol of the empty text.
    symbol();
    explicit symbol(const std::string& text);
    // The symbol of the first length characters (fewer when a NUL comes first).
    symbol(const char* text, std::size_t length);

    const std::string& string() const noexcept { return m_node->text; }
    std::size_t hash() const noexcept { return m_node->hash; }
    // The bucket of the interning table the symbol lives in.
    std::size_t bucket() const noexcept { return m_node->hash & (bucket_count - 1); }

    // Whether the text equals the NUL-terminated text (false for null).
    bool operator==(const char* text) const noexcept;
    bool operator!=(const char* text) const noexcept { return !(*this == text); }

    friend bool operator==(const symbol& a, const symbol& b) noexcept { return a.m_node == b.m_node; }
    friend bool operator!=(const symbol& a, const symbol& b) noexcept { return a.m_node != b.m_node; }
    // An order by identity (stable for the run, not alphabetical).
    friend bool operator<(const symbol& a, const symbol& b) noexcept
    {
        return std::less<const node*>()(a.m_node, b.m_node);
    }

    // The hash of a text as the table computes it: h = h * 65599 + c over the
    // characters up to the first NUL, each taken as a signed byte.
    static std::size_t hashOf(const char* text, std::size_t length) noexcept;

private:
    const node* m_node;
};

std::ostream& operator<<(std::ostream& out, const symbol& s);

} // namespace cv

template <> struct std::hash<cv::symbol> {
    std::size_t operator()(const cv::symbol& s) const noexcept { return s.hash(); }
};
