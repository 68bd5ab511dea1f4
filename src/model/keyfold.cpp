#include "model/keyfold.h"

#include <cstdint>
#include <cstring>

namespace vornex {

namespace {

// Eight ASCII bytes with A..Z made small: a byte is a capital when adding 0x80 - 'A' sets its top
// bit and adding 0x80 - 'Z' - 1 does not (no byte carries into the next, all being below 0x80).
inline uint64_t foldAsciiWord(uint64_t w)
{
    constexpr uint64_t ones = 0x0101010101010101ull;
    const uint64_t aboveA = w + ones * (0x80 - 'A');
    const uint64_t aboveZ = w + ones * (0x80 - 'Z' - 1);
    const uint64_t capitals = (aboveA ^ aboveZ) & ones * 0x80;
    return w | (capitals >> 2);
}

} // namespace

void foldKeyInto(std::string_view key, char* out)
{
    const size_t n = key.size();
    size_t i = 0;
    // Eight bytes at a time while they are all ASCII.
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, key.data() + i, sizeof w);
        if (w & 0x8080808080808080ull) break;
        w = foldAsciiWord(w);
        std::memcpy(out + i, &w, sizeof w);
    }
    for (; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < n) {
            // U+00C0..U+00DE (but not U+00D7, the multiplication sign) are capitals whose small
            // letters lie 0x20 higher.
            out[i] = static_cast<char>(c);
            unsigned char d = static_cast<unsigned char>(key[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) d = static_cast<unsigned char>(d + 0x20);
            out[++i] = static_cast<char>(d);
        } else if (c == 0xC5 && i + 1 < n) {
            // The other capitals of Windows-1252: Œ, Š, Ž (small letter one higher) and Ÿ, whose
            // small letter ÿ is U+00FF. All are two bytes in UTF-8 either way.
            const auto d = static_cast<unsigned char>(key[i + 1]);
            if (d == 0x92 || d == 0xA0 || d == 0xBD) {
                out[i] = static_cast<char>(c);
                out[++i] = static_cast<char>(d + 1);
            } else if (d == 0xB8) {
                out[i] = static_cast<char>(0xC3);
                out[++i] = static_cast<char>(0xBF);
            } else {
                out[i] = static_cast<char>(c);
                out[++i] = static_cast<char>(d);
            }
        } else {
            out[i] = static_cast<char>(c);
        }
    }
}

std::string foldKey(std::string_view key)
{
    std::string out(key.size(), '\0');
    foldKeyInto(key, out.data());
    return out;
}

}  // namespace vornex
