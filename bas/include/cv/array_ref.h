#pragma once
// A view of an array that belongs to someone else (e.g. the program image).
#include <cstddef>

namespace cv {

template <typename T> class array_ref {
public:
    constexpr array_ref() noexcept = default;
    constexpr array_ref(T* data, std::size_t size) noexcept
        : m_data(data)
        , m_size(size)
    {
    }

    constexpr T* data() const noexcept { return m_data; }
    constexpr std::size_t size() const noexcept { return m_size; }
    constexpr bool empty() const noexcept { return m_size == 0; }
    constexpr T* begin() const noexcept { return m_data; }
    constexpr T* end() const noexcept { return m_data + m_size; }
    constexpr T& operator[](std::size_t index) const noexcept { return m_data[index]; }

private:
    T* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace cv
