#include "io/loaderparts.h"
#include "io/planetloader.h"

#include <charconv>
#include <limits>

namespace vornex {

namespace loader {

// A game line as list input hands it over: blanks before it are skipped, and it runs to the end
// of the line, so blanks at its end belong to its last field.
std::string_view skipLeadingBlanks(std::string_view line)
{
    size_t b = line.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return line.substr(b);
}

std::string quoteText(std::string_view text)
{
    // Built piece by piece: g++ 12 warns wrongly about `"\"" + std::string(text)` at -O3.
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// True when the text is exactly what numberText makes of it: a plain decimal without sign "+",
// leading or trailing zeros, blanks, "-0", or an exponent that numberText would write.
static bool isCanonicalDecimal(std::string_view t)
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
    if (zeroWhole && wholeLen > 1) return false;                             // leading zero
    if (i == size) return wholeLen <= 15 && !(zeroWhole && wholeStart == 1); // "-0" reads as "0"
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

// A field's text as the program holds it (UTF-8).
std::string toUtf8(std::string_view text, Enc enc)
{
    if (enc != Enc::Cp1252 || !fieldHasHighByte(text)) return std::string(text);
    return decodeWindows1252(text);
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
int64_t positionOfName(const Map& planets, std::string_view name, Enc enc, int64_t hint)
{
    if (enc != Enc::Cp1252 || !fieldHasHighByte(name)) return planets.PositionOf(name, hint);
    if (name.size() <= 32) {
        char buf[3 * 32];
        return planets.PositionOf(std::string_view(buf, decodeWindows1252Into(name, buf)), hint);
    }
    return planets.PositionOf(decodeWindows1252(name), hint);
}

size_t splitFields(std::string_view line, std::string_view* fields, size_t max, bool* high)
{
    bool anyHigh = false;
    size_t n = 0;
    if (max > 0) {
        const char* const begin = line.data();
        size_t start = 0;
        auto take = [&](size_t stop) {
            std::string_view field(begin + start, stop - start);
            if (!field.empty() && field.back() == '%') field.remove_suffix(1);
            fields[n++] = field;
            start = stop + 1;
            return n == max;
        };
        // Fields are a few bytes long, so the tabs are found many bytes at a time instead of
        // deciding at every byte.
        if (!scan::forEachTab(begin, line.size(), take, anyHigh)) take(line.size());
    }
    if (high) *high = anyHigh;
    return n;
}

std::optional<int16_t> slowFieldInt16(std::string_view text)
{
    return num::tryInt16(LeadingValue(text));
}

std::optional<int32_t> slowFieldInt32(std::string_view text)
{
    return num::tryInt32(LeadingValue(text));
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

// A file that cannot be read as a whole is one diagnostic (line 0): why, then what follows from it.
std::optional<FileLines> readLines(const std::string& path, std::string_view consequence, Diagnostics& diags)
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
    f.content = contentText(f.text);
    return f;
}

// A text with the blanks around it left out.
std::string_view trimmed(std::string_view text)
{
    const size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

} // namespace loader

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

std::optional<double> UnitValue(std::string_view text, int unitLength)
{
    if (text.empty()) return 0.0;
    if (unitLength < 0) return std::nullopt;
    const auto unit = static_cast<size_t>(unitLength);
    if (loader::charCount(text, loader::Enc::Utf8) <= unit) return std::nullopt;
    return num::parseStrict(loader::dropLastChars(text, unit, loader::Enc::Utf8));
}

} // namespace vornex
