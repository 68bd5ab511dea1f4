#include "io/planetloader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/numeric.h"
#include "io/codepage.h"
#include "io/fileexists.h"
#include "io/listformat.h"
#include "io/textfile.h"

namespace vornex {

namespace {

// A game line as list input hands it over: blanks before it are skipped, and it runs to the end
// of the line, so blanks at its end belong to its last field.
std::string_view skipLeadingBlanks(std::string_view line)
{
    size_t b = line.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return line.substr(b);
}

constexpr const char* kDash = " \xE2\x80\x94 ";

std::string quoteText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// How the bytes of a line are held while it is read: the Windows-1252 bytes as they are on disk
// (a file without a byte order mark), UTF-8 (a file with one, already decoded), or plain ASCII
// (a line without any byte of 0x80 or above, which reads the same either way). Game files are
// nearly all ASCII, so only texts that hold a higher byte are ever decoded, one field at a time.
enum class Enc { Cp1252, Utf8, Ascii };

// The encoding a single line of a file can be read in.
Enc lineEncoding(std::string_view line, Enc fileEnc)
{
    return fileEnc == Enc::Cp1252 && !hasHighByte(line) ? Enc::Ascii : fileEnc;
}

// True when some byte of a field (a few bytes long) is 0x80 or above. With `wide`, eight bytes
// may be read from anywhere in the field, and the field is looked at eight bytes at a time.
inline bool fieldHasHighByte(std::string_view text, bool wide = false)
{
    const char* p = text.data();
    size_t n = text.size();
    if (wide) {
        uint64_t any = 0;
        for (; n >= 8; p += 8, n -= 8) {
            uint64_t w;
            std::memcpy(&w, p, sizeof w);
            any |= w;
        }
        if (n > 0) {
            uint64_t w;
            std::memcpy(&w, p, sizeof w);
            if constexpr (std::endian::native == std::endian::little)
                any |= w & ((uint64_t{1} << (8 * n)) - 1);
            else
                any |= w >> (8 * (8 - n));
        }
        return (any & 0x8080808080808080ull) != 0;
    }
    unsigned char any = 0;
    for (; n > 0; --n)
        any |= static_cast<unsigned char>(*p++);
    return (any & 0x80) != 0;
}

// A field's text as the program holds it (UTF-8).
std::string toUtf8(std::string_view text, Enc enc)
{
    if (enc != Enc::Cp1252 || !fieldHasHighByte(text)) return std::string(text);
    return decodeWindows1252(text);
}

void assignText(std::string& to, std::string_view text, Enc enc, bool wide = false)
{
    if (text.empty()) {
        to.clear();
    } else if (enc != Enc::Cp1252 || !fieldHasHighByte(text, wide)) {
        if (to.empty())
            to.append(text.data(), text.size());
        else
            to.assign(text.data(), text.size());
    } else if (text.size() <= 32) {
        char buf[3 * 32];
        to.assign(buf, decodeWindows1252Into(text, buf));
    } else {
        to = decodeWindows1252(text);
    }
}

// Number of characters: one per byte in Windows-1252 and ASCII, one per lead byte in UTF-8.
size_t charCount(std::string_view s, Enc enc)
{
    if (enc != Enc::Utf8) return s.size();
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The text without its last `count` characters.
std::string_view dropLastChars(std::string_view s, size_t count, Enc enc)
{
    if (enc != Enc::Utf8) return s.substr(0, s.size() > count ? s.size() - count : 0);
    size_t end = s.size();
    while (count > 0 && end > 0) {
        --end;
        while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
            --end;
        --count;
    }
    return s.substr(0, end);
}

// The 1-based position of the planet named by a field, or 0.
// hint: the position where the planet is most likely to stand (0 for none).
int64_t positionOfName(const Map& planets, std::string_view name, Enc enc, int64_t hint = 0)
{
    if (enc != Enc::Cp1252 || !fieldHasHighByte(name)) return planets.PositionOf(name, hint);
    if (name.size() <= 32) {
        char buf[3 * 32];
        return planets.PositionOf(std::string_view(buf, decodeWindows1252Into(name, buf)), hint);
    }
    return planets.PositionOf(decodeWindows1252(name), hint);
}

// The first `max` fields of a line as NextField takes them off one by one (one trailing "%" of each
// dropped), as views into the line. Returns the number of fields found. Fields are a few bytes
// long, so the tabs are found many bytes at a time instead of deciding at every byte. On the way,
// *high tells whether any byte of the fields found (or a few bytes after them) is 0x80 or above.
size_t splitFields(std::string_view line, std::string_view* fields, size_t max, bool* high = nullptr)
{
    bool anyHigh = false;
    const size_t n = [&]() -> size_t {
        if (max == 0) return 0;
        size_t n = 0;
        const char* const begin = line.data();
        const size_t size = line.size();
        size_t start = 0;
        auto take = [&](size_t stop) {
            std::string_view field(begin + start, stop - start);
            if (!field.empty() && field.back() == '%') field.remove_suffix(1);
            fields[n++] = field;
            start = stop + 1;
        };
        size_t i = 0;
#if defined(__SSE2__)
        // Sixteen bytes at a time: one compare gives a bit for each tab.
        const __m128i tabs = _mm_set1_epi8('\t');
        for (; i + 16 <= size; i += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + i));
            anyHigh = anyHigh || _mm_movemask_epi8(chunk) != 0;
            auto hits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, tabs)));
            while (hits) {
                take(i + static_cast<size_t>(std::countr_zero(hits)));
                if (n == max) return n;
                hits &= hits - 1;
            }
        }
#endif
        constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
        constexpr uint64_t kTabs = 0x0909090909090909ull;
        for (; std::endian::native == std::endian::little && i + 8 <= size; i += 8) {
            uint64_t word;
            std::memcpy(&word, begin + i, sizeof word);
            anyHigh = anyHigh || (word & ~kLow7) != 0;
            const uint64_t x = word ^ kTabs; // a zero byte where a tab stands
            // The top bit of each byte that is zero, exactly (no borrow runs between bytes).
            uint64_t hits = ~(((x & kLow7) + kLow7) | x | kLow7);
            while (hits) {
                take(i + static_cast<size_t>(std::countr_zero(hits)) / 8);
                if (n == max) return n;
                hits &= hits - 1;
            }
        }
        for (; i < size; ++i) {
            anyHigh = anyHigh || static_cast<unsigned char>(begin[i]) >= 0x80;
            if (begin[i] != '\t') continue;
            take(i);
            if (n == max) return n;
        }
        take(size);
        return n;
    }();
    if (high) *high = anyHigh;
    return n;
}

// True when the text is exactly what numberText makes of it: a plain decimal without sign "+",
// leading or trailing zeros, blanks, "-0", or an exponent that numberText would write.
bool isCanonicalDecimal(std::string_view t)
{
    size_t i = 0;
    const size_t size = t.size();
    if (size == 0 || size > 16) return false;
    if (t[0] == '-') i = 1;
    const size_t wholeStart = i;
    while (i < size && t[i] >= '0' && t[i] <= '9')
        ++i;
    const size_t wholeLen = i - wholeStart;
    if (wholeLen == 0) return false;
    const bool zeroWhole = t[wholeStart] == '0';
    if (zeroWhole && wholeLen > 1) return false;  // leading zero
    if (i == size) return wholeLen <= 15 && !(zeroWhole && wholeStart == 1);  // "-0" reads as "0"
    if (t[i] != '.') return false;
    const size_t fracStart = ++i;
    while (i < size && t[i] >= '0' && t[i] <= '9')
        ++i;
    if (i != size || i == fracStart || t[size - 1] == '0') return false;
    if (zeroWhole) {
        // Below 1E-4 the number text takes an exponent.
        size_t zeros = 0;
        while (t[fracStart + zeros] == '0')
            ++zeros;
        if (zeros > 3) return false;
    }
    return wholeLen + (size - fracStart) <= 15;
}

// A field that is a plain whole number ("-120", "4500"): LeadingValue reads it as exactly itself.
// nullopt for any other text.
std::optional<int64_t> plainWholeNumber(std::string_view text)
{
    size_t i = 0;
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        i = 1;
    }
    const size_t digits = text.size() - i;
    if (digits == 0 || digits > 15) return std::nullopt;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

// The value of one to eight ASCII digits at p, read eight bytes at once (all eight must be
// readable); false when some byte is not a digit.
inline bool eightDigits(const char* p, size_t len, uint32_t& value)
{
    if constexpr (std::endian::native != std::endian::little) return false;
    if (len - 1 >= 8) return false;
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
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

// A field of at most eight digits after an optional minus sign, the usual case: its value.
// `wide`: eight bytes may be read from anywhere in the field.
inline std::optional<int64_t> shortWholeField(std::string_view text, bool wide)
{
    if (!wide) return std::nullopt;
    const bool negative = !text.empty() && text[0] == '-';
    const size_t skip = negative ? 1 : 0;
    uint32_t v = 0;
    if (!eightDigits(text.data() + skip, text.size() - skip, v)) return std::nullopt;
    return negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
}

// tryInt16(LeadingValue(text)) and tryInt32(LeadingValue(text)). With `wide`, eight bytes may be
// read from anywhere in the field.
[[gnu::noinline]] std::optional<int16_t> slowFieldInt16(std::string_view text)
{
    if (auto v = plainWholeNumber(text)) {
        if (*v < -32768 || *v > 32767) return std::nullopt;
        return static_cast<int16_t>(*v);
    }
    return num::tryInt16(LeadingValue(text));
}

[[gnu::noinline]] std::optional<int32_t> slowFieldInt32(std::string_view text)
{
    if (auto v = plainWholeNumber(text)) {
        if (*v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(*v);
    }
    return num::tryInt32(LeadingValue(text));
}

inline std::optional<int16_t> fieldInt16(std::string_view text, bool wide)
{
    if (auto v = shortWholeField(text, wide)) {
        if (*v < -32768 || *v > 32767) return std::nullopt;
        return static_cast<int16_t>(*v);
    }
    return slowFieldInt16(text);
}

inline std::optional<int32_t> fieldInt32(std::string_view text, bool wide)
{
    if (auto v = shortWholeField(text, wide)) return static_cast<int32_t>(*v);  // eight digits fit
    return slowFieldInt32(text);
}

// The number text of a field with a unit, doubleText(UnitValue(text, unitLength)), as a view:
// into the field itself when the number is already written that way (as good as always), else
// into `made`. False when the field is not a number followed by its unit.
bool unitText(std::string_view text, size_t unitLength, Enc enc, std::string_view& out, std::string& made)
{
    if (text.empty()) {
        out = "0";
        return true;
    }
    if (charCount(text, enc) <= unitLength) return false;
    const std::string_view number = dropLastChars(text, unitLength, enc);
    if (isCanonicalDecimal(number)) {
        out = number;
        return true;
    }
    auto t = num::numberText(number);
    if (!t) return false;
    made = std::move(*t);
    out = made;
    return true;
}

// The columns of a planets report line after the name; the nine of the optional group come last.
enum class Kind { Text, Int16, Int32, Unit1, Unit2 };
struct Column {
    const char* name;
    Kind kind;
};
constexpr Column kColumns[36] = {
    {"name", Kind::Text},
    {"owner", Kind::Text},
    {"starbase", Kind::Text},
    {"report age", Kind::Int16},
    {"population", Kind::Int32},
    {"value", Kind::Int16},
    {"production", Kind::Text},
    {"mines", Kind::Int16},
    {"factories", Kind::Int16},
    {"defences", Kind::Int16},
    {"surface Ironium", Kind::Int32},
    {"surface Boranium", Kind::Int32},
    {"surface Germanium", Kind::Int32},
    {"Ironium mining rate", Kind::Int16},
    {"Boranium mining rate", Kind::Int16},
    {"Germanium mining rate", Kind::Int16},
    {"Ironium concentration", Kind::Int16},
    {"Boranium concentration", Kind::Int16},
    {"Germanium concentration", Kind::Int16},
    {"resources", Kind::Int16},
    {"gravity", Kind::Unit1},
    {"temperature", Kind::Unit2},
    {"radiation", Kind::Unit2},
    {"initial gravity", Kind::Text},
    {"initial temperature", Kind::Text},
    {"initial radiation", Kind::Text},
    {"terraforming", Kind::Int16},
    {"capacity", Kind::Int16},
    {"scanner", Kind::Int16},
    {"penetration", Kind::Int16},
    {"driver", Kind::Int16},
    {"warp", Kind::Int16},
    {"route", Kind::Text},
    {"gate range", Kind::Int16},
    {"gate mass", Kind::Int16},
    {"packet damage", Kind::Int16},
};
constexpr size_t kShortColumns = 27;

// A report line converted before any of it reaches the planet, so that a bad field rejects the
// line as a whole.
struct ReportRow {
    std::array<std::string_view, 37> field;
    std::array<int32_t, 36> number{};
    std::array<std::string_view, 3> env;  // gravity, temperature, radiation as number texts
    std::array<std::string, 3> envMade;   // those that had to be rewritten
    size_t columns = 0;
    bool wide = false;  // eight bytes may be read from anywhere in the line's fields
};

// Why column i of a report line does not convert.
[[gnu::noinline, gnu::cold]] std::string columnFailure(size_t i, std::string_view text, Enc enc)
{
    const Column& c = kColumns[i];
    std::string why = "field " + std::to_string(i + 1) + " (" + c.name + "): " + quoteText(toUtf8(text, enc));
    switch (c.kind) {
    case Kind::Int16:
        return why + " does not fit in 16 bits";
    case Kind::Int32:
        return why + " does not fit in 32 bits";
    case Kind::Unit1:
        return why + " is not a number followed by a 1-character unit";
    case Kind::Unit2:
        return why + " is not a number followed by a 2-character unit";
    case Kind::Text:
        break;
    }
    return why;
}

// Converts the numeric fields in column order; the reason names the first that does not convert.
std::optional<std::string> convertReportRow(ReportRow& row, Enc enc)
{
    for (size_t i = 1; i < row.columns; ++i) {
        const std::string_view t = row.field[i];
        bool ok = true;
        switch (kColumns[i].kind) {
        case Kind::Text:
            break;
        case Kind::Int16: {
            auto v = fieldInt16(t, row.wide);
            ok = v.has_value();
            if (ok) row.number[i] = *v;
            break;
        }
        case Kind::Int32: {
            auto v = fieldInt32(t, row.wide);
            ok = v.has_value();
            if (ok) row.number[i] = *v;
            break;
        }
        case Kind::Unit1:
        case Kind::Unit2:
            ok = unitText(t, kColumns[i].kind == Kind::Unit1 ? 1 : 2, enc, row.env[i - 20], row.envMade[i - 20]);
            break;
        }
        if (!ok) return columnFailure(i, t, enc);
    }
    return std::nullopt;
}

void applyReportRow(ReportRow& row, Planet& p, Enc enc)
{
    auto i16 = [&](size_t i) { return static_cast<int16_t>(row.number[i]); };
    const auto& f = row.field;
    constexpr std::string_view kUninhabited = "Uninhabited";
    if (!f[1].empty())
        assignText(p.Owner, f[1], enc, row.wide);
    else if (std::string_view(p.Owner) != kUninhabited)  // as the map file left it, as a rule
        p.Owner.assign(kUninhabited.data(), kUninhabited.size());
    assignText(p.StarbaseType, f[2], enc, row.wide);
    p.ReportAge = i16(3);
    p.Population = row.number[4];
    p.Value = i16(5);
    assignText(p.ProductionQueue, f[6], enc, row.wide);
    p.Mines = i16(7);
    p.Factories = i16(8);
    p.Def = i16(9);
    p.SurfaceIron = row.number[10];
    p.SurfaceBora = row.number[11];
    p.SurfaceGerm = row.number[12];
    p.RateIron = i16(13);
    p.RateBora = i16(14);
    p.RateGerm = i16(15);
    p.ConcentrationIron = i16(16);
    p.ConcentrationBora = i16(17);
    p.ConcentrationGerm = i16(18);
    p.Resources = i16(19);
    assignText(p.Grav, row.env[0], Enc::Ascii);
    assignText(p.Temp, row.env[1], Enc::Ascii);
    assignText(p.Rad, row.env[2], Enc::Ascii);
    assignText(p.GravOrig, f[23], enc, row.wide);
    assignText(p.TempOrig, f[24], enc, row.wide);
    assignText(p.RadOrig, f[25], enc, row.wide);
    p.Terra = i16(26);
    if (row.columns == 36) {
        p.Capacity = i16(27);
        p.Scanner = i16(28);
        p.Penetration = i16(29);
        p.Driver = i16(30);
        p.Warp = i16(31);
        assignText(p.Route, f[32], enc, row.wide);
        p.GateRange = i16(33);
        p.GateMass = i16(34);
        p.PacketDamage = i16(35);
    }
}

// One file's text and its lines. Without a byte order mark the text is the file's own
// Windows-1252 bytes; with one it is the decoded UTF-8. Both are held on the heap, so that the
// views into them stay valid when a FileLines is moved (a short std::string would carry its
// characters along and leave the views dangling).
struct FileLines {
    FileBuffer raw;
    std::unique_ptr<std::string> decoded;
    std::string_view text;
    Enc enc = Enc::Cp1252;
    std::vector<std::string_view> lines;
    size_t count = 0; // lines up to the last that holds anything
};

// A file that cannot be read as a whole is one diagnostic (line 0): why, then what follows from it.
std::optional<FileLines> readLines(const std::string& path, std::string_view consequence, Diagnostics& diags,
                                   bool split = true)
{
    std::string error;
    auto bytes = readFileBuffer(path, &error);
    if (bytes && looksLikeUtf16(bytes->view())) {
        const size_t slash = path.find_last_of("/\\");
        error = path.substr(slash == std::string::npos ? 0 : slash + 1) + " is UTF-16 text; save it as Windows-1252";
        bytes.reset();
    }
    if (!bytes) {
        diags.push_back({path, 0, error + kDash + std::string(consequence)});
        return std::nullopt;
    }
    FileLines f;
    f.raw = std::move(*bytes);
    if (hasUtf8ByteOrderMark(f.raw.view())) {
        f.decoded = std::make_unique<std::string>(decodeFileText(f.raw.view()));
        f.raw = {};
        f.text = *f.decoded;
        f.enc = Enc::Utf8;
    } else {
        f.text = f.raw.view();
    }
    if (split) {
        f.lines = splitLines(f.text);
        f.count = contentLineCount(f.lines);
    }
    return f;
}

void loadMapFile(Map& planets, const std::string& path, Diagnostics& diags)
{
    auto file = readLines(path, "there are no planets to show", diags);
    if (!file) return;
    const Enc enc = file->enc;
    const size_t n = file->count;
    planets.Reserve(n);
    std::vector<bool> ids(65536, false);
    auto shown = [&](std::string_view t) { return quoteText(toUtf8(t, enc)); };
    std::string decodedName;
    // Line 1 holds the column headings.
    for (size_t i = 1; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        const std::string_view line = skipLeadingBlanks(file->lines[i]);
        if (line.empty()) {
            diags.push_back({path, lineNo, "empty line"});
            continue;
        }
        std::array<std::string_view, 4> field;
        if (size_t k = splitFields(line, field.data(), field.size()); k < 4) {
            diags.push_back({path, lineNo, "expected at least 4 tab-separated fields, found " + std::to_string(k)});
            continue;
        }
        std::string_view name = field[3];
        if (enc == Enc::Cp1252 && hasHighByte(name)) {
            decodedName = decodeWindows1252(name);
            name = decodedName;
        }
        const std::string_view idText = field[0];
        const std::string_view xText = field[1];
        const std::string_view yText = field[2];
        auto id = num::parseInt16(idText);
        if (!id) {
            diags.push_back({path, lineNo, "planet number " + shown(idText) + " is not a 16-bit whole number"});
            continue;
        }
        // Coordinates are whole numbers as a rule; anything else takes the full reading.
        auto coordinate = [](std::string_view t) -> std::optional<double> {
            if (auto v = plainWholeNumber(t)) return static_cast<double>(*v);
            return num::parseStrict(t);
        };
        auto xv = coordinate(xText);
        auto x = xv ? num::tryInt16(*xv - 1000.0) : std::nullopt;
        if (!x) {
            diags.push_back({path, lineNo, "x " + shown(xText) + " is not a number in 1000 + 16 bits"});
            continue;
        }
        auto yv = coordinate(yText);
        auto y = yv ? num::tryInt16(3000.0 - *yv) : std::nullopt;
        if (!y) {
            diags.push_back({path, lineNo, "y " + shown(yText) + " is not a number in 3000 - 16 bits"});
            continue;
        }
        // A repeated name is told before a repeated number.
        const auto idSlot = static_cast<size_t>(static_cast<int32_t>(*id) + 32768);
        PlanetPtr p;
        if (!ids[idSlot]) p = planets.TryAdd(name);
        if (!p) {
            if (planets.PositionOf(name) != 0)
                diags.push_back({path, lineNo, "planet name " + quoteText(name) + " is listed twice; the first is kept"});
            else
                diags.push_back(
                    {path, lineNo, "planet number " + num::intText(*id) + " is listed twice; the first is kept"});
            continue;
        }
        ids[idSlot] = true;
        p->ID = *id;
        p->Xcord = *x;
        p->Ycord = *y;
        p->PlanetName = name;
        p->ReportAge = -1;
        p->Owner = "Uninhabited";
    }
}

// Fills in the planets the report names; ages[position] follows each planet's ReportAge.
void loadReport(Map& planets, const std::string& path, std::vector<int16_t>& ages, Diagnostics& diags)
{
    auto file = readLines(path, "the map shows the map file and the export files only", diags);
    if (!file) return;
    const Enc fileEnc = file->enc;
    const size_t n = file->count;
    int64_t expected = 1; // reports list the planets in map order as a rule
    ReportRow row;
    const char* const textEnd = file->text.data() + file->text.size();
    for (size_t i = 1; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        const std::string_view line = skipLeadingBlanks(file->lines[i]);
        if (line.empty()) {
            diags.push_back({path, lineNo, "empty line"});
            continue;
        }
        // One field more than a full line has tells "36 or more" from a count to report.
        bool high = false;
        const size_t k = splitFields(line, row.field.data(), row.field.size(), &high);
        if (k != kShortColumns && k < 36) {
            diags.push_back(
                {path, lineNo, "expected 27 or at least 36 tab-separated fields, found " + std::to_string(k)});
            continue;
        }
        row.columns = k >= 36 ? 36 : kShortColumns;
        row.wide = textEnd - (line.data() + line.size()) >= 8;
        const Enc enc = fileEnc == Enc::Cp1252 && !high ? Enc::Ascii : fileEnc;
        const std::string_view name = row.field[0];
        const int64_t position = positionOfName(planets, name, enc, expected);
        if (position == 0) {
            diags.push_back({path, lineNo, "planet " + quoteText(toUtf8(name, enc)) + " is not in the map file"});
            continue;
        }
        if (auto why = convertReportRow(row, enc)) {
            diags.push_back({path, lineNo, *why});
            continue;
        }
        Planet& p = *planets.Raw(position);
        applyReportRow(row, p, enc);
        // Each line is stored in turn: a planet reported twice keeps what its later line says.
        ages[static_cast<size_t>(position)] = p.ReportAge;
        expected = position + 1;
    }
}

// Export records merged into the planets. The records of all files are looked at first, in file
// and line order, keeping only each planet's report age; the winning record of each planet is then
// written in table order. Every accepted record replaces all nine exported fields, so the last
// winner of a planet is all that shows, exactly as if each had been written in turn; writing them
// in table order walks the planets once instead of jumping across memory for every record.
class ExportMerge {
public:
    // ages[position] is the ReportAge of the planet at that position (index 0 unused).
    ExportMerge(Map& planets, std::vector<int16_t> ages)
        : m_planets(planets), m_ages(std::move(ages)), m_winner(m_ages.size(), 0)
    {
    }

    // Looks at one file's text; the text must stay in place until apply().
    void scan(std::string_view text, Enc fileEnc, const std::string& fileName, Diagnostics& diags)
    {
        const auto lines = splitLines(text);
        const size_t n = contentLineCount(lines);
        Enc enc = fileEnc;
        auto shown = [&](std::string_view t) { return quoteText(toUtf8(t, enc)); };
        for (size_t i = 0; i < n; ++i) {
            const int64_t lineNo = static_cast<int64_t>(i) + 1;
            enc = lineEncoding(lines[i], fileEnc);
            readListLine(lines[i], m_items);
            const auto& items = m_items;
            if (items.size() != 10) {
                diags.push_back(
                    {fileName, lineNo,
                     items.empty() ? "empty line" : "expected 10 items, found " + std::to_string(items.size())});
                continue;
            }
            auto age = num::parseInt16(items[2].text);
            auto population = num::parseInt32(items[3].text);
            auto value = num::parseInt16(items[4].text);
            auto def = num::parseInt16(items[5].text);
            if (!age || !population || !value || !def) {
                std::string bad;
                if (!age)
                    bad = "report age " + shown(items[2].text) + " is not a 16-bit whole number";
                else if (!population)
                    bad = "population " + shown(items[3].text) + " is not a 32-bit whole number";
                else if (!value)
                    bad = "value " + shown(items[4].text) + " is not a 16-bit whole number";
                else
                    bad = "defences " + shown(items[5].text) + " is not a 16-bit whole number";
                diags.push_back({fileName, lineNo, bad});
                continue;
            }
            if (*age < 0) {
                // -1 means never reported; merged as a report age it would count as newer than every
                // real report and wipe it.
                diags.push_back(
                    {fileName, lineNo,
                     "report age " + num::intText(*age) + " is negative (no real report); the record is ignored"});
                continue;
            }
            const int64_t position = positionOfName(m_planets, items[0].text, enc);
            if (position == 0 || static_cast<size_t>(position) >= m_ages.size()) {
                diags.push_back({fileName, lineNo, "planet " + shown(items[0].text) + " is not in the map file"});
                continue;
            }
            // A smaller age is a more recent report; on equal ages what was read first stays.
            int16_t& known = m_ages[static_cast<size_t>(position)];
            if (!(known > *age || known == -1)) continue;
            known = *age;
            Record r;
            r.owner = items[1].text;
            r.starbase = items[6].text;
            for (size_t k = 0; k < 3; ++k) {
                r.env[k] = items[7 + k].text;
                r.envQuoted[k] = items[7 + k].quoted;
            }
            r.enc = enc;
            r.age = *age;
            r.value = *value;
            r.def = *def;
            r.population = *population;
            m_records.push_back(r);
            m_winner[static_cast<size_t>(position)] = static_cast<uint32_t>(m_records.size());
        }
    }

    void apply()
    {
        for (size_t pos = 1; pos < m_winner.size(); ++pos) {
            if (m_winner[pos] == 0) continue;
            const Record& r = m_records[m_winner[pos] - 1];
            Planet* planet = m_planets.Raw(static_cast<int64_t>(pos));
            if (!planet) continue;
            assignText(planet->Owner, r.owner, r.enc);
            planet->ReportAge = r.age;
            planet->Population = r.population;
            planet->Value = r.value;
            planet->Def = r.def;
            assignText(planet->StarbaseType, r.starbase, r.enc);
            envText(planet->Grav, r, 0);
            envText(planet->Temp, r, 1);
            envText(planet->Rad, r, 2);
        }
        m_records.clear();
        std::fill(m_winner.begin(), m_winner.end(), 0);
    }

private:
    struct Record {
        std::string_view owner, starbase;
        std::string_view env[3];
        bool envQuoted[3] = {false, false, false};
        Enc enc = Enc::Cp1252;
        int16_t age = 0, value = 0, def = 0;
        int32_t population = 0;
    };

    // An unquoted number reads as a number: keep its plain text ("1.50" is 1.5).
    static void envText(std::string& to, const Record& r, size_t k)
    {
        if (!r.envQuoted[k]) {
            if (auto t = num::numberText(r.env[k])) {
                to = std::move(*t);
                return;
            }
        }
        assignText(to, r.env[k], r.enc);
    }

    Map& m_planets;
    std::vector<int16_t> m_ages;
    std::vector<uint32_t> m_winner;  // per position: 1 + index of its winning record, 0 for none
    std::vector<Record> m_records;
    std::vector<ListItemView> m_items;
};

// A text with the blanks around it left out.
std::string_view trimmed(std::string_view text)
{
    const size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

} // namespace

double LeadingValue(std::string_view text)
{
    std::string buf;
    size_t valid = 0; // length of buf that forms a number
    bool digits = false, point = false;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') buf += '-';
        ++i;
    }
    for (;; ++i) {
        skipBlanks();
        if (i >= text.size()) break;
        char c = text[i];
        if (c >= '0' && c <= '9') {
            buf += c;
            digits = true;
            valid = buf.size();
        } else if (c == '.' && !point) {
            buf += c;
            point = true;
            if (digits) valid = buf.size();
        } else {
            break;
        }
    }
    if (!digits) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::string exp = "e";
        ++i;
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exp += text[i++];
        bool expDigits = false;
        for (;; ++i) {
            skipBlanks();
            if (i >= text.size() || text[i] < '0' || text[i] > '9') break;
            exp += text[i];
            expDigits = true;
        }
        if (expDigits) {
            buf.resize(valid);
            buf += exp;
            valid = buf.size();
        }
    }
    buf.resize(valid);
    double v = 0;
    auto res = std::from_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large gives an infinity (which no integer field accepts), too small gives 0.
        bool tiny = buf.find("e-") != std::string::npos;
        if (tiny) return 0.0;
        return buf[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return v;
}

std::string NextField(std::string& line)
{
    std::string field;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) {
        field = std::move(line);
        line.clear();
    } else {
        field = line.substr(0, tab);
        line.erase(0, tab + 1);
    }
    if (!field.empty() && field.back() == '%') field.pop_back();
    return field;
}

std::string NameField(std::string line)
{
    NextField(line);
    NextField(line);
    NextField(line);
    return NextField(line);
}

std::optional<std::string> reportSuffix(std::string_view stored)
{
    const auto v = num::parseStrict(stored);
    if (!v || *v == -1) return std::nullopt;
    return std::string(trimmed(stored));
}

std::optional<double> UnitValue(std::string_view text, int unitLength)
{
    if (text.empty()) return 0.0;
    if (unitLength < 0) return std::nullopt;
    const auto unit = static_cast<size_t>(unitLength);
    if (charCount(text, Enc::Utf8) <= unit) return std::nullopt;
    return num::parseStrict(dropLastChars(text, unit, Enc::Utf8));
}

LoadOutcome LoadPlanets(Map& planets, const std::string& folder, const std::string& gameName, SettingsStore& settings,
                        Prompter& prompter, Diagnostics& diags)
{
    const size_t diagsOnEntry = diags.size();
    Map table;
    loadMapFile(table, folder + gameName + ".map", diags);

    // The report read is the one of the stored player number, as stored; -1 (or a text that is no
    // number) means the user has to tell us. The answer is stored as its number and used as typed.
    std::optional<std::string> suffix = reportSuffix(settings.read(kApplication, "Settings", "YourNumber", "-1"));
    while (!suffix) {
        auto answer = prompter.ask("Please enter your player number", "Player Number");
        if (!answer) {
            diags.resize(diagsOnEntry);
            return LoadOutcome::Cancelled;
        }
        if (!num::parseStrict(*answer)) continue; // not a number: asked again
        settings.write(kApplication, "Settings", "YourNumber", num::doubleText(LeadingValue(*answer)));
        suffix = std::string(trimmed(*answer));
    }
    // Every planet of the map starts unreported.
    std::vector<int16_t> ages(static_cast<size_t>(table.Count()) + 1, -1);
    loadReport(table, folder + gameName + ".p" + *suffix, ages, diags);

    ExportMerge merge(table, std::move(ages));
    std::vector<FileLines> files;  // their texts stay while the merge refers to them
    files.reserve(16);
    for (int n = 1; n <= 16; ++n) {
        const std::string path = folder + "export.p" + num::intText(n);
        if (!FileExists(path)) continue;
        auto file = readLines(path, "its records are not merged", diags, false);
        if (!file) continue;
        files.push_back(std::move(*file));
        merge.scan(files.back().text, files.back().enc, path, diags);
    }
    merge.apply();
    planets = std::move(table);
    return LoadOutcome::Loaded;
}

void MergeExportFile(Map& planets, std::string_view text, const std::string& fileName, Diagnostics& diags)
{
    std::vector<int16_t> ages(static_cast<size_t>(planets.Count()) + 1, -1);
    for (size_t pos = 1; pos < ages.size(); ++pos)
        ages[pos] = planets.Raw(static_cast<int64_t>(pos))->ReportAge;
    ExportMerge merge(planets, std::move(ages));
    merge.scan(text, Enc::Utf8, fileName, diags);
    merge.apply();
}

} // namespace vornex
