#pragma once
// Plain scalar model of the compositing table, written for clarity rather
// than speed: exact integer quotients, one channel at a time.
#include <array>
#include <cstdint>

namespace alpharef {

using Pixel = std::array<uint8_t, 4>;

// Nearest integer to x / d (ties cannot occur for the odd divisors used).
inline int64_t roundDiv(int64_t x, int64_t d)
{
    return (2 * x + d) / (2 * d);
}

inline int sat(int64_t x)
{
    return x > 255 ? 255 : static_cast<int>(x);
}

// min(255, round(x / 255)).
inline int D(int64_t x)
{
    return sat(roundDiv(x, 255));
}

// The module's three-factor division by 65025.
inline int Q(int64_t X)
{
    int32_t h = static_cast<int32_t>((X + 32768) >> 16);
    const int32_t l = static_cast<int32_t>(X % 65536);
    if (h >= 128)
        h += 1;
    int32_t t = (h % 128) * 512 + (l >> 7) - h;
    if (t < 0)
        t = 0;
    t = (t + l) % 65536;
    if (static_cast<int16_t>(l) > static_cast<int16_t>(t))
        h += 1;
    return h;
}

// One channel of each straight operator; c is a colour byte, or for the
// alpha channel of the uniform operators 255.
inline Pixel compose(int type, const Pixel& A, const Pixel& B)
{
    const int64_t a = A[3], b = B[3];
    Pixel out{};
    for (int i = 0; i < 4; ++i) {
        const bool alpha = i == 3;
        const int64_t Ac = A[i], Bc = B[i];
        int64_t v = 0;
        switch (type) {
        case 0: // Over
            v = alpha ? a + D(b * (255 - a)) : D(Ac * a + roundDiv(Bc * b * (255 - a), 255));
            break;
        case 1: // In
            v = alpha ? Q(255 * a * b) : Q(Ac * a * b);
            break;
        case 2: // Out
            v = alpha ? Q(255 * a * (255 - b)) : Q(Ac * a * (255 - b));
            break;
        case 3: // Atop
            v = alpha ? b : Q(Ac * a * b + Bc * b * (255 - a));
            break;
        case 4: // Xor
            v = alpha ? Q(255 * (a * (255 - b) + b * (255 - a))) : Q(Ac * a * (255 - b) + Bc * b * (255 - a));
            break;
        case 5: // Plus
            v = alpha ? sat(a + b) : sat(roundDiv(Ac * a + Bc * b, 255));
            break;
        case 6: v = alpha ? a + D(b * (255 - a)) : sat(Ac + D(Bc * (255 - a))); break;
        case 7: v = alpha ? D(a * b) : D(Ac * b); break;
        case 8: v = alpha ? D(a * (255 - b)) : D(Ac * (255 - b)); break;
        case 9: v = alpha ? b : sat(roundDiv(Ac * b + Bc * (255 - a), 255)); break;
        case 10:
            v = alpha ? D(a * (255 - b) + b * (255 - a)) : sat(roundDiv(Ac * (255 - b) + Bc * (255 - a), 255));
            break;
        case 11: v = sat(Ac + Bc); break;
        }
        out[i] = static_cast<uint8_t>(v);
    }
    return out;
}

} // namespace alpharef
