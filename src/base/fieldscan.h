#pragma once
// Every byte-scanning shortcut of the program in one place: sixteen bytes at a time with SSE2,
// eight bytes at a time in a 64-bit word, and the plain byte-by-byte way that gives the same answer
// on any machine. Game files of a large galaxy are scanned byte by byte millions of times, which is
// the only reason these exist.
//
// What is used is settled when compiling: SSE2 where the compiler offers it (x86 and x86-64), the
// word tricks on little-endian machines, and nothing but the plain loops when neither holds (ARM
// without SSE2 gets the word tricks, big-endian machines the plain loops) or when
// VORNEX_PORTABLE_SCAN is defined. `portable::` always holds the plain loops, so tests can hold the
// fast ones against them in every build.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if !defined(VORNEX_PORTABLE_SCAN) && defined(__SSE2__)
#define VORNEX_SCAN_SSE2 1
#include <emmintrin.h>
#else
#define VORNEX_SCAN_SSE2 0
#endif

namespace vornex::scan {

#if defined(VORNEX_PORTABLE_SCAN)
inline constexpr bool kWords = false;
#else
inline constexpr bool kWords = std::endian::native == std::endian::little;
#endif
inline constexpr bool kSse2 = VORNEX_SCAN_SSE2 != 0;

namespace portable {

inline size_t findByte(const char* p, size_t from, size_t n, char c)
{
    while (from < n && p[from] != c)
        ++from;
    return from;
}

inline bool hasHighByte(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

inline size_t asciiRunEnd(const char* p, size_t n)
{
    size_t i = 0;
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80)
        ++i;
    return i;
}

template <typename OnTab> inline bool forEachTab(const char* p, size_t n, OnTab&& onTab, bool& anyHigh)
{
    for (size_t i = 0; i < n; ++i) {
        anyHigh = anyHigh || static_cast<unsigned char>(p[i]) >= 0x80;
        if (p[i] == '\t' && onTab(i)) return true;
    }
    return false;
}

inline bool digits(const char* p, size_t len, uint32_t& value)
{
    if (len == 0 || len > 8) return false;
    uint32_t v = 0;
    for (size_t i = 0; i < len; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        v = v * 10 + static_cast<uint32_t>(p[i] - '0');
    }
    value = v;
    return true;
}

inline void foldAscii(const char* in, size_t n, char* out)
{
    for (size_t i = 0; i < n; ++i)
        out[i] = in[i] >= 'A' && in[i] <= 'Z' ? static_cast<char>(in[i] + 32) : in[i];
}

} // namespace portable

namespace detail {
constexpr uint64_t kHigh = 0x8080808080808080ull;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kOnes = 0x0101010101010101ull;

inline uint64_t load(const char* p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}
} // namespace detail

// The position of the first byte c in p[from, n), or n.
inline size_t findByte(const char* p, size_t from, size_t n, char c)
{
#if VORNEX_SCAN_SSE2
    const __m128i wanted = _mm_set1_epi8(c);
    for (; from + 16 <= n; from += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted));
        if (hits != 0) return from + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(hits)));
    }
#endif
    return portable::findByte(p, from, n, c);
}

// True when some byte of s is 0x80 or above.
inline bool hasHighByte(std::string_view s)
{
    if constexpr (!kWords) return portable::hasHighByte(s);
    const char* p = s.data();
    size_t n = s.size();
    uint64_t any = 0;
    for (; n >= 8; p += 8, n -= 8)
        any |= detail::load(p);
    for (; n > 0; --n)
        any |= static_cast<unsigned char>(*p++);
    return (any & detail::kHigh) != 0;
}

// hasHighByte of a short field that lies inside a larger buffer: eight bytes may be read from
// anywhere in the field (the bytes past its end are masked off), which saves the byte loop.
inline bool fieldHasHighByte(std::string_view s)
{
    if constexpr (!kWords) return portable::hasHighByte(s);
    const char* p = s.data();
    size_t n = s.size();
    uint64_t any = 0;
    for (; n >= 8; p += 8, n -= 8)
        any |= detail::load(p);
    if (n > 0) any |= detail::load(p) & ((uint64_t{1} << (8 * n)) - 1);
    return (any & detail::kHigh) != 0;
}

// The length of the run of ASCII bytes (below 0x80) at the start of p[0, n).
inline size_t asciiRunEnd(const char* p, size_t n)
{
    size_t i = 0;
    if constexpr (kWords)
        while (i + 8 <= n && (detail::load(p + i) & detail::kHigh) == 0)
            i += 8;
    return i + portable::asciiRunEnd(p + i, n - i);
}

// Calls onTab(position) for each tab in p[0, n), in order, until it returns true; returns whether
// it stopped early. anyHigh becomes true when some byte looked at is 0x80 or above (the bytes
// looked at may run a few past the tab that stopped it).
template <typename OnTab> inline bool forEachTab(const char* p, size_t n, OnTab&& onTab, bool& anyHigh)
{
    size_t i = 0;
#if VORNEX_SCAN_SSE2
    const __m128i tabs = _mm_set1_epi8('\t');
    for (; i + 16 <= n; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        anyHigh = anyHigh || _mm_movemask_epi8(chunk) != 0;
        auto hits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, tabs)));
        for (; hits != 0; hits &= hits - 1)
            if (onTab(i + static_cast<size_t>(std::countr_zero(hits)))) return true;
    }
#endif
    if constexpr (kWords) {
        for (; i + 8 <= n; i += 8) {
            const uint64_t word = detail::load(p + i);
            anyHigh = anyHigh || (word & detail::kHigh) != 0;
            const uint64_t x = word ^ (detail::kOnes * '\t'); // a zero byte where a tab stands
            // The top bit of each byte that is zero, exactly (no borrow runs between bytes).
            uint64_t hits = ~(((x & detail::kLow7) + detail::kLow7) | x | detail::kLow7);
            for (; hits != 0; hits &= hits - 1)
                if (onTab(i + static_cast<size_t>(std::countr_zero(hits)) / 8)) return true;
        }
    }
    return portable::forEachTab(
        p + i, n - i, [&](size_t at) { return onTab(i + at); }, anyHigh);
}

// The value of one to eight ASCII digits at p; false when len is not 1..8 or a byte is not a
// digit. With the word tricks eight bytes are read at p whatever len is, so all eight must be
// readable.
inline bool digits(const char* p, size_t len, uint32_t& value)
{
    if constexpr (!kWords) return portable::digits(p, len, value);
    if (len - 1 >= 8) return false;
    uint64_t w = detail::load(p);
    // The digits move to the top bytes, as if led by zeros; what followed them falls out.
    const unsigned shift = static_cast<unsigned>(8 - len) * 8;
    w <<= shift;
    const uint64_t zeros = 0x3030303030303030ull & (~0ull << shift);
    // Every digit byte is 0x30..0x39: high half 3, and adding 6 leaves the high half at 3.
    if ((w & 0xF0F0F0F0F0F0F0F0ull) != zeros) return false;
    if (((w + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) != zeros) return false;
    uint64_t d = w & 0x0F0F0F0F0F0F0F0Full;
    d = (d * 10 + (d >> 8)) & 0x00FF00FF00FF00FFull;
    d = (d * 100 + (d >> 16)) & 0x0000FFFF0000FFFFull;
    d = (d * 10000 + (d >> 32)) & 0xFFFFFFFFull;
    value = static_cast<uint32_t>(d);
    return true;
}

// Copies the leading ASCII bytes of in[0, n) to out with A..Z made small, eight at a time, and
// returns how many it copied: it stops at the first word that holds a byte of 0x80 or above, or
// short of eight remaining bytes, and leaves the rest to the caller.
inline size_t foldAsciiWords(const char* in, size_t n, char* out)
{
    size_t i = 0;
    if constexpr (kWords) {
        for (; i + 8 <= n; i += 8) {
            uint64_t w = detail::load(in + i);
            if (w & detail::kHigh) break;
            // A byte is a capital when adding 0x80 - 'A' sets its top bit and adding
            // 0x80 - 'Z' - 1 does not (no byte carries into the next, all being below 0x80).
            const uint64_t aboveA = w + detail::kOnes * (0x80 - 'A');
            const uint64_t aboveZ = w + detail::kOnes * (0x80 - 'Z' - 1);
            w |= ((aboveA ^ aboveZ) & detail::kHigh) >> 2;
            std::memcpy(out + i, &w, sizeof w);
        }
    }
    return i;
}

} // namespace vornex::scan
