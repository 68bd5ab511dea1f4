#include "model/keyfold.h"

#include "base/fieldscan.h"

namespace vornex {

void foldKeyInto(std::string_view key, char* out)
{
    const size_t n = key.size();
    // Keys are nearly all ASCII: whole words of it are folded at once.
    size_t i = scan::foldAsciiWords(key.data(), n, out);
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

} // namespace vornex
