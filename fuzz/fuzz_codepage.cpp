// Code page: decoding never faults and gives valid UTF-8; Windows-1252 bytes survive a read and a
// write unchanged; what encodeForFile writes reads back as the same text, and it refuses exactly
// the texts Windows-1252 cannot carry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "io/codepage.h"

namespace {

bool validUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        size_t len = b < 0x80                   ? 1
                     : (b >= 0xC2 && b <= 0xDF) ? 2
                     : (b >= 0xE0 && b <= 0xEF) ? 3
                     : (b >= 0xF0 && b <= 0xF4) ? 4
                                                : 0;
        if (len == 0 || i + len > s.size()) return false;
        uint32_t c = len == 1 ? b : len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
        for (size_t k = 1; k < len; ++k) {
            auto n = static_cast<unsigned char>(s[i + k]);
            if ((n & 0xC0) != 0x80) return false;
            c = (c << 6) | (n & 0x3Fu);
        }
        if ((len == 3 && c < 0x800) || (len == 4 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

bool hasBom(std::string_view s)
{
    return s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text = decodeFileText(bytes);
    VORNEX_FUZZ_CHECK(validUtf8(text));

    if (!hasBom(bytes)) {
        bool lossless = false;
        std::string back = encodeWindows1252(text, &lossless);
        VORNEX_FUZZ_CHECK(lossless);
        VORNEX_FUZZ_CHECK(back == bytes);
    }

    // Written files are Windows-1252 or nothing. (Text whose bytes begin like the UTF-8 byte order
    // mark cannot come back; no file the program writes begins that way, each line starting with a
    // double quote.)
    bool exact = false;
    (void)encodeWindows1252(text, &exact);
    auto file = encodeForFile(text);
    VORNEX_FUZZ_CHECK(file.has_value() == exact);
    if (file && !hasBom(*file)) VORNEX_FUZZ_CHECK(decodeFileText(*file) == text);

    // Any UTF-8 (valid or not) gives Windows-1252 without fault.
    bool lossless = true;
    (void)encodeWindows1252(bytes, &lossless);
    return 0;
}
