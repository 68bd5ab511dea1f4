#include "io/planetloader.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>

#include "analysis/numeric.h"
#include "io/codepage.h"
#include "io/fileexists.h"
#include "io/listformat.h"
#include "io/textfile.h"

namespace vornex {

namespace {

// A game line as list input hands it over: the blanks around it are not part of any field.
std::string_view trimBlanks(std::string_view line)
{
    size_t b = line.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = line.find_last_not_of(' ');
    return line.substr(b, e - b + 1);
}


std::string quoteText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// Number of UTF-8 characters, counting each lead byte.
size_t charCount(std::string_view s)
{
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The text without its last `count` UTF-8 characters.
std::string_view dropLastChars(std::string_view s, size_t count)
{
    size_t end = s.size();
    while (count > 0 && end > 0) {
        --end;
        while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
            --end;
        --count;
    }
    return s.substr(0, end);
}

// The first `max` fields of a line as NextField takes them off one by one (one trailing "%" of each
// dropped), as views into the line. Returns the number of fields found. Fields are a few bytes
// long, so the tabs are found eight bytes at a time instead of deciding at every byte.
size_t splitFields(std::string_view line, std::string_view* fields, size_t max)
{
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
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kTabs = 0x0909090909090909ull;
    size_t i = 0;
    for (; std::endian::native == std::endian::little && i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, begin + i, sizeof word);
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
        if (begin[i] != '\t') continue;
        take(i);
        if (n == max) return n;
    }
    take(size);
    return n;
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

// tryInt16(LeadingValue(text)) and tryInt32(LeadingValue(text)).
std::optional<int16_t> fieldInt16(std::string_view text)
{
    if (auto v = plainWholeNumber(text)) {
        if (*v < -32768 || *v > 32767) return std::nullopt;
        return static_cast<int16_t>(*v);
    }
    return num::tryInt16(LeadingValue(text));
}

std::optional<int32_t> fieldInt32(std::string_view text)
{
    if (auto v = plainWholeNumber(text)) {
        if (*v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(*v);
    }
    return num::tryInt32(LeadingValue(text));
}

// The number text of a field with a unit: doubleText(UnitValue(text, unitLength)).
std::optional<std::string> unitText(std::string_view text, size_t unitLength)
{
    if (text.empty()) return std::string("0");
    if (charCount(text) <= unitLength) return std::nullopt;
    return num::numberText(dropLastChars(text, unitLength));
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
    std::string grav, temp, rad;
    size_t columns = 0;
};

// Converts the numeric fields in column order; the reason names the first that does not convert.
std::optional<std::string> convertReportRow(ReportRow& row)
{
    for (size_t i = 1; i < row.columns; ++i) {
        const std::string_view t = row.field[i];
        const Column& c = kColumns[i];
        auto fail = [&](const std::string& why) {
            return "field " + std::to_string(i + 1) + " (" + c.name + "): " + why;
        };
        switch (c.kind) {
        case Kind::Text:
            break;
        case Kind::Int16: {
            auto v = fieldInt16(t);
            if (!v) return fail(quoteText(t) + " does not fit in 16 bits");
            row.number[i] = *v;
            break;
        }
        case Kind::Int32: {
            auto v = fieldInt32(t);
            if (!v) return fail(quoteText(t) + " does not fit in 32 bits");
            row.number[i] = *v;
            break;
        }
        case Kind::Unit1:
        case Kind::Unit2: {
            const size_t unit = c.kind == Kind::Unit1 ? 1 : 2;
            auto v = unitText(t, unit);
            if (!v)
                return fail(quoteText(t) + " is not a number followed by a " + std::to_string(unit) +
                            "-character unit");
            (i == 20 ? row.grav : i == 21 ? row.temp : row.rad) = std::move(*v);
            break;
        }
        }
    }
    return std::nullopt;
}

void applyReportRow(ReportRow& row, Planet& p)
{
    auto i16 = [&](size_t i) { return static_cast<int16_t>(row.number[i]); };
    const auto& f = row.field;
    p.Owner = f[1].empty() ? std::string_view("Uninhabited") : f[1];
    p.StarbaseType = f[2];
    p.ReportAge = i16(3);
    p.Population = row.number[4];
    p.Value = i16(5);
    p.ProductionQueue = f[6];
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
    p.Grav = std::move(row.grav);
    p.Temp = std::move(row.temp);
    p.Rad = std::move(row.rad);
    p.GravOrig = f[23];
    p.TempOrig = f[24];
    p.RadOrig = f[25];
    p.Terra = i16(26);
    if (row.columns == 36) {
        p.Capacity = i16(27);
        p.Scanner = i16(28);
        p.Penetration = i16(29);
        p.Driver = i16(30);
        p.Warp = i16(31);
        p.Route = f[32];
        p.GateRange = i16(33);
        p.GateMass = i16(34);
        p.PacketDamage = i16(35);
    }
}

// One line per record; the file's text is kept while its lines are looked at.
struct FileLines {
    std::string text;
    std::vector<std::string_view> lines;
    size_t count = 0; // lines up to the last that holds anything
};

std::optional<FileLines> readLines(const std::string& path, Diagnostics& diags)
{
    std::string error;
    auto bytes = readFileBytes(path, &error);
    if (!bytes) {
        diags.push_back({path, 0, error});
        return std::nullopt;
    }
    FileLines f;
    f.text = decodeFileText(*bytes);
    f.lines = splitLines(f.text);
    f.count = contentLineCount(f.lines);
    return f;
}

void loadMapFile(Map& planets, const std::string& path, Diagnostics& diags)
{
    auto file = readLines(path, diags);
    if (!file) return;
    const size_t n = file->count;
    planets.Reserve(n);
    std::vector<bool> ids(65536, false);
    // Line 1 holds the column headings.
    for (size_t i = 1; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        const std::string_view line = trimBlanks(file->lines[i]);
        if (line.empty()) {
            diags.push_back({path, lineNo, "empty line"});
            continue;
        }
        std::array<std::string_view, 4> field;
        if (size_t k = splitFields(line, field.data(), field.size()); k < 4) {
            diags.push_back({path, lineNo, "expected at least 4 tab-separated fields, found " + std::to_string(k)});
            continue;
        }
        const std::string_view name = field[3];
        const std::string_view idText = field[0];
        const std::string_view xText = field[1];
        const std::string_view yText = field[2];
        auto id = num::parseInt16(idText);
        if (!id) {
            diags.push_back({path, lineNo, "planet number " + quoteText(idText) + " is not a 16-bit whole number"});
            continue;
        }
        auto xv = num::parseStrict(xText);
        auto x = xv ? num::tryInt16(*xv - 1000.0) : std::nullopt;
        if (!x) {
            diags.push_back({path, lineNo, "x " + quoteText(xText) + " is not a number in 1000 + 16 bits"});
            continue;
        }
        auto yv = num::parseStrict(yText);
        auto y = yv ? num::tryInt16(3000.0 - *yv) : std::nullopt;
        if (!y) {
            diags.push_back({path, lineNo, "y " + quoteText(yText) + " is not a number in 3000 - 16 bits"});
            continue;
        }
        if (planets.Find(name)) {
            diags.push_back({path, lineNo, "planet name " + quoteText(name) + " is listed twice; the first is kept"});
            continue;
        }
        const auto idSlot = static_cast<size_t>(static_cast<int32_t>(*id) + 32768);
        if (ids[idSlot]) {
            diags.push_back(
                {path, lineNo, "planet number " + num::intText(*id) + " is listed twice; the first is kept"});
            continue;
        }
        ids[idSlot] = true;
        auto p = planets.Add(name);
        p->ID = *id;
        p->Xcord = *x;
        p->Ycord = *y;
        p->PlanetName = name;
        p->ReportAge = -1;
        p->Owner = "Uninhabited";
    }
}

void loadReport(Map& planets, const std::string& path, Diagnostics& diags)
{
    auto file = readLines(path, diags);
    if (!file) return;
    const size_t n = file->count;
    std::vector<bool> reported(static_cast<size_t>(planets.Count()) + 1, false);
    ReportRow row;
    for (size_t i = 1; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        const std::string_view line = trimBlanks(file->lines[i]);
        if (line.empty()) {
            diags.push_back({path, lineNo, "empty line"});
            continue;
        }
        // One field more than a full line has tells "36 or more" from a count to report.
        const size_t k = splitFields(line, row.field.data(), row.field.size());
        if (k != kShortColumns && k < 36) {
            diags.push_back(
                {path, lineNo, "expected 27 or at least 36 tab-separated fields, found " + std::to_string(k)});
            continue;
        }
        row.columns = k >= 36 ? 36 : kShortColumns;
        const std::string_view name = row.field[0];
        const int64_t position = planets.PositionOf(name);
        if (position == 0) {
            diags.push_back({path, lineNo, "planet " + quoteText(name) + " is not in the map file"});
            continue;
        }
        if (reported[static_cast<size_t>(position)]) {
            diags.push_back({path, lineNo, "planet " + quoteText(name) + " is reported twice; the first is kept"});
            continue;
        }
        if (auto why = convertReportRow(row)) {
            diags.push_back({path, lineNo, *why});
            continue;
        }
        applyReportRow(row, *planets.At(position));
        reported[static_cast<size_t>(position)] = true;
    }
}

// A whole number 1..16 as the player number, else nullopt.
std::optional<int> playerNumber(std::string_view text)
{
    auto v = num::parseStrict(text);
    if (!v || *v != std::floor(*v) || *v < 1 || *v > 16) return std::nullopt;
    return static_cast<int>(*v);
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

std::optional<double> UnitValue(std::string_view text, int unitLength)
{
    if (text.empty()) return 0.0;
    if (unitLength < 0) return std::nullopt;
    const auto unit = static_cast<size_t>(unitLength);
    if (charCount(text) <= unit) return std::nullopt;
    return num::parseStrict(dropLastChars(text, unit));
}

LoadOutcome LoadPlanets(Map& planets, const std::string& folder, const std::string& gameName, SettingsStore& settings,
                        Prompter& prompter, Diagnostics& diags)
{
    const size_t diagsOnEntry = diags.size();
    Map table;
    loadMapFile(table, folder + gameName + ".map", diags);

    // The player number whose report is read comes from the stored setting; -1 (or anything that
    // is not a player number) means the user has to tell us.
    std::optional<int> number = playerNumber(settings.read(kApplication, "Settings", "YourNumber", "-1"));
    while (!number) {
        auto answer = prompter.ask("Please enter your player number", "Player Number");
        if (!answer) {
            diags.resize(diagsOnEntry);
            return LoadOutcome::Cancelled;
        }
        number = playerNumber(*answer);
        if (number) settings.write(kApplication, "Settings", "YourNumber", num::intText(*number));
    }
    loadReport(table, folder + gameName + ".p" + num::intText(*number), diags);

    for (int n = 1; n <= 16; ++n) {
        const std::string path = folder + "export.p" + num::intText(n);
        if (!FileExists(path)) continue;
        std::string error;
        auto bytes = readFileBytes(path, &error);
        if (!bytes) {
            diags.push_back({path, 0, error});
            continue;
        }
        MergeExportFile(table, decodeFileText(*bytes), path, diags);
    }
    planets = std::move(table);
    return LoadOutcome::Loaded;
}

void MergeExportFile(Map& planets, std::string_view text, const std::string& fileName, Diagnostics& diags)
{
    const auto lines = splitLines(text);
    const size_t n = contentLineCount(lines);
    std::vector<ListItemView> items;
    for (size_t i = 0; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        readListLine(lines[i], items);
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
        std::string bad;
        if (!age)
            bad = "report age " + quoteText(items[2].text) + " is not a 16-bit whole number";
        else if (!population)
            bad = "population " + quoteText(items[3].text) + " is not a 32-bit whole number";
        else if (!value)
            bad = "value " + quoteText(items[4].text) + " is not a 16-bit whole number";
        else if (!def)
            bad = "defences " + quoteText(items[5].text) + " is not a 16-bit whole number";
        if (!bad.empty()) {
            diags.push_back({fileName, lineNo, bad});
            continue;
        }
        PlanetPtr planet = planets.Find(items[0].text);
        if (!planet) {
            diags.push_back({fileName, lineNo, "planet " + quoteText(items[0].text) + " is not in the map file"});
            continue;
        }
        // A smaller age is a more recent report; on equal ages what was read first stays.
        if (!(planet->ReportAge > *age || planet->ReportAge == -1)) continue;
        // An unquoted number reads as a number: keep its plain text ("1.50" is 1.5).
        auto envText = [](const ListItemView& item) -> std::string {
            if (item.quoted) return std::string(item.text);
            auto t = num::numberText(item.text);
            return t ? std::move(*t) : std::string(item.text);
        };
        planet->Owner = items[1].text;
        planet->ReportAge = *age;
        planet->Population = *population;
        planet->Value = *value;
        planet->Def = *def;
        planet->StarbaseType = items[6].text;
        planet->Grav = envText(items[7]);
        planet->Temp = envText(items[8]);
        planet->Rad = envText(items[9]);
    }
}

} // namespace vornex
