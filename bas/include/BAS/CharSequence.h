#pragma once
// A borrowed, read-only view of text: pointer and length in code units.
// It never owns or frees the characters. Views made from a std::string or a
// C string keep the terminating NUL behind the last character, which some
// readers (tracing, cropping) rely on.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace CV::BAS {

template <typename CharT = char> class CharSequence {
public:
    using value_type = CharT;
    using const_iterator = const CharT*;

    // The empty text (NUL-terminated).
    constexpr CharSequence() noexcept = default;
    constexpr CharSequence(const CharT* data, std::size_t length) noexcept
        : m_data(data ? data : emptyText())
        , m_length(data ? length : 0)
    {
    }
    CharSequence(const std::basic_string<CharT>& text) noexcept
        : m_data(text.c_str())
        , m_length(text.size())
    {
    }
    // A NUL-terminated text; null gives the empty text.
    CharSequence(const CharT* text) noexcept
        : CharSequence(text, text ? std::char_traits<CharT>::length(text) : 0)
    {
    }
    // The view does not promise a NUL behind the characters.
    constexpr CharSequence(std::basic_string_view<CharT> text) noexcept
        : CharSequence(text.data(), text.size())
    {
    }

    constexpr const CharT* data() const noexcept { return m_data; }
    constexpr std::size_t length() const noexcept { return m_length; }
    constexpr std::size_t size() const noexcept { return m_length; }
    constexpr bool empty() const noexcept { return m_length == 0; }
    constexpr const CharT* begin() const noexcept { return m_data; }
    constexpr const CharT* end() const noexcept { return m_data + m_length; }
    constexpr CharT operator[](std::size_t index) const noexcept { return m_data[index]; }

    std::basic_string<CharT> str() const { return std::basic_string<CharT>(m_data, m_length); }
    constexpr std::basic_string_view<CharT> view() const noexcept { return {m_data, m_length}; }

private:
    static constexpr const CharT* emptyText() noexcept { return &s_empty; }
    static constexpr CharT s_empty = CharT();

    const CharT* m_data = emptyText();
    std::size_t m_length = 0;
};

template <typename CharT> bool operator==(const CharSequence<CharT>& a, const CharSequence<CharT>& b) noexcept
{
    return a.view() == b.view();
}

template <typename CharT> bool operator!=(const CharSequence<CharT>& a, const CharSequence<CharT>& b) noexcept
{
    return !(a == b);
}

} // namespace CV::BAS
