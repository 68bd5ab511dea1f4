#include "io/codepage.h"

#include "base/fieldscan.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vornex {

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for the control characters of the same number, as Windows itself maps them, so
// every byte survives a read and a write unchanged.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at s[i], advancing i. Malformed input (bad lead byte, missing or bad
// continuation, overlong form, surrogate, beyond U+10FFFF) gives kInvalid and skips one byte.
char32_t nextCodePoint(std::string_view s, size_t& i)
{
    auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, c = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, c = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return kInvalid;
    }
    if (i + static_cast<size_t>(len) > s.size()) {
        ++i;
        return kInvalid;
    }
    for (int k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kInvalid;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kInvalid;
    }
    i += static_cast<size_t>(len);
    return c;
}

bool hasUtf8Bom(std::string_view bytes)
{
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
           static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF;
}

void appendWindows1252(std::string& out, std::string_view bytes)
{
    // Runs of ASCII, nearly all of a game file, are the same in both encodings and copied whole.
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* run = p;
        p += scan::asciiRunEnd(p, static_cast<size_t>(end - p));
        out.append(run, static_cast<size_t>(p - run));
        while (p < end && static_cast<unsigned char>(*p) >= 0x80) {
            auto b = static_cast<unsigned char>(*p++);
            if (b < 0xA0)
                appendUtf8(out, kHigh[b - 0x80]);
            else
                appendUtf8(out, b);
        }
    }
}

} // namespace

bool hasUtf8ByteOrderMark(std::string_view bytes)
{
    return hasUtf8Bom(bytes);
}

bool hasHighByte(std::string_view bytes)
{
    return scan::hasHighByte(bytes);
}

size_t decodeWindows1252Into(std::string_view bytes, char* out)
{
    char* o = out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            *o++ = ch;
            continue;
        }
        const char32_t c = b < 0xA0 ? kHigh[b - 0x80] : char32_t(b);
        if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<char>(0xE0 | (c >> 12));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return static_cast<size_t>(o - out);
}

std::string decodeWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    appendWindows1252(out, bytes);
    return out;
}

std::string decodeFileText(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    if (hasUtf8Bom(bytes)) {
        bytes.remove_prefix(3);
        size_t i = 0;
        while (i < bytes.size()) {
            char32_t c = nextCodePoint(bytes, i);
            appendUtf8(out, c == kInvalid ? char32_t(0xFFFD) : c);
        }
        return out;
    }
    appendWindows1252(out, bytes);
    return out;
}

std::string encodeWindows1252(std::string_view utf8, bool* lossless)
{
    std::string out;
    out.reserve(utf8.size());
    bool exact = true;
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = nextCodePoint(utf8, i);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xA0 && c <= 0xFF) {
            out += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (int k = 0; k < 32; ++k) {
            if (kHigh[k] == c) {
                out += static_cast<char>(0x80 + k);
                found = true;
                break;
            }
        }
        if (!found) {
            out += '?';
            exact = false;
        }
    }
    if (lossless) *lossless = exact;
    return out;
}

std::optional<std::string> encodeForFile(std::string_view utf8, std::string* why)
{
    bool exact = false;
    std::string bytes = encodeWindows1252(utf8, &exact);
    if (exact) return bytes;
    if (why) {
        // Name the first character that has no form, with the line it stands in.
        size_t i = 0;
        while (i < utf8.size()) {
            const size_t start = i;
            const char32_t c = nextCodePoint(utf8, i);
            if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) continue;
            bool found = false;
            for (char32_t k : kHigh)
                found = found || k == c;
            if (found) continue;
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", c == kInvalid ? 0xFFFDu : static_cast<unsigned>(c));
            size_t lineStart = utf8.rfind('\n', start);
            lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
            size_t lineEnd = utf8.find_first_of("\r\n", start);
            if (lineEnd == std::string_view::npos) lineEnd = utf8.size();
            *why = "the character " + std::string(code) + " in " +
                   std::string(utf8.substr(lineStart, lineEnd - lineStart)) + " has no Windows-1252 form";
            break;
        }
    }
    return std::nullopt;
}

bool looksLikeUtf16(std::string_view bytes)
{
    if (bytes.size() < 2) return false;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) return true;
    // Text in Windows-1252 never holds a NUL byte; UTF-16 of Latin text holds one in every pair,
    // always on the same side.
    const size_t pairs = std::min<size_t>(bytes.size(), 512) / 2;
    size_t evenNuls = 0, oddNuls = 0;
    for (size_t k = 0; k < pairs; ++k) {
        evenNuls += bytes[2 * k] == '\0';
        oddNuls += bytes[2 * k + 1] == '\0';
    }
    return (evenNuls == 0 && oddNuls * 2 >= pairs) || (oddNuls == 0 && evenNuls * 2 >= pairs);
}

} // namespace vornex
