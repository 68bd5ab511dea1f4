#include "io/planetloader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "analysis/numeric.h"
#include "io/codepage.h"
#include "io/fileexists.h"
#include "io/listformat.h"
#include "io/textfile.h"

namespace vornex {

namespace {

// A game line as list input hands it over: the blanks around it are not part of any field.
std::string trimBlanks(std::string_view line)
{
    size_t b = line.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = line.find_last_not_of(' ');
    return std::string(line.substr(b, e - b + 1));
}

size_t fieldCount(std::string_view line)
{
    size_t n = 1;
    for (char c : line)
        if (c == '\t') ++n;
    return n;
}

std::string quoteText(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
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

// Reads the tab-separated fields of one report line in order, remembering the first field that
// does not convert; once one has failed the line is rejected as a whole.
class FieldReader {
public:
    explicit FieldReader(std::string& line) : m_line(line) {}

    std::string text(const char* name)
    {
        ++m_field;
        m_name = name;
        return NextField(m_line);
    }
    int16_t int16(const char* name)
    {
        std::string t = text(name);
        auto v = num::tryInt16(LeadingValue(t));
        if (!v) return fail<int16_t>(quoteText(t) + " does not fit in 16 bits");
        return *v;
    }
    int32_t int32(const char* name)
    {
        std::string t = text(name);
        auto v = num::tryInt32(LeadingValue(t));
        if (!v) return fail<int32_t>(quoteText(t) + " does not fit in 32 bits");
        return *v;
    }
    // The value of a field with a unit, as number text ("1.5", "-120").
    std::string unit(const char* name, int unitLength)
    {
        std::string t = text(name);
        auto v = UnitValue(t, unitLength);
        if (!v)
            return fail<std::string>(quoteText(t) + " is not a number followed by a " + std::to_string(unitLength) +
                                     "-character unit");
        return num::doubleText(*v);
    }

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

private:
    template <typename T> T fail(const std::string& why)
    {
        if (m_error.empty()) m_error = "field " + std::to_string(m_field) + " (" + m_name + "): " + why;
        return T{};
    }

    std::string& m_line;
    int m_field = 1; // field 1, the name, is taken before the reader starts
    std::string m_name;
    std::string m_error;
};

// Fields 2 to 36 of a report line (the name already taken off) into a copy of the planet.
// Returns the reason when a field does not convert.
std::optional<std::string> readReportFields(std::string& line, bool withOptionalGroup, Planet& p)
{
    FieldReader r(line);
    p.Owner = r.text("owner");
    if (p.Owner.empty()) p.Owner = "Uninhabited";
    p.StarbaseType = r.text("starbase");
    p.ReportAge = r.int16("report age");
    p.Population = r.int32("population");
    p.Value = r.int16("value");
    p.ProductionQueue = r.text("production");
    p.Mines = r.int16("mines");
    p.Factories = r.int16("factories");
    p.Def = r.int16("defences");
    p.SurfaceIron = r.int32("surface Ironium");
    p.SurfaceBora = r.int32("surface Boranium");
    p.SurfaceGerm = r.int32("surface Germanium");
    p.RateIron = r.int16("Ironium mining rate");
    p.RateBora = r.int16("Boranium mining rate");
    p.RateGerm = r.int16("Germanium mining rate");
    p.ConcentrationIron = r.int16("Ironium concentration");
    p.ConcentrationBora = r.int16("Boranium concentration");
    p.ConcentrationGerm = r.int16("Germanium concentration");
    p.Resources = r.int16("resources");
    p.Grav = r.unit("gravity", 1);
    p.Temp = r.unit("temperature", 2);
    p.Rad = r.unit("radiation", 2);
    p.GravOrig = r.text("initial gravity");
    p.TempOrig = r.text("initial temperature");
    p.RadOrig = r.text("initial radiation");
    p.Terra = r.int16("terraforming");
    if (withOptionalGroup) {
        p.Capacity = r.int16("capacity");
        p.Scanner = r.int16("scanner");
        p.Penetration = r.int16("penetration");
        p.Driver = r.int16("driver");
        p.Warp = r.int16("warp");
        p.Route = r.text("route");
        p.GateRange = r.int16("gate range");
        p.GateMass = r.int16("gate mass");
        p.PacketDamage = r.int16("packet damage");
    }
    if (!r.ok()) return r.error();
    return std::nullopt;
}

void loadMapFile(Map& planets, const std::string& path, Diagnostics& diags)
{
    std::string error;
    auto bytes = readFileBytes(path, &error);
    if (!bytes) {
        diags.push_back({path, 0, error});
        return;
    }
    const std::string text = decodeFileText(*bytes);
    const auto lines = splitLines(text);
    const size_t n = contentLineCount(lines);
    planets.Reserve(n);
    std::unordered_set<int16_t> ids;
    // Line 1 holds the column headings.
    for (size_t i = 1; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        std::string line = trimBlanks(lines[i]);
        if (line.empty()) {
            diags.push_back({path, lineNo, "empty line"});
            continue;
        }
        if (size_t k = fieldCount(line); k < 4) {
            diags.push_back({path, lineNo, "expected at least 4 tab-separated fields, found " + std::to_string(k)});
            continue;
        }
        line += '\t';
        const std::string name = NameField(line);
        const std::string idText = NextField(line);
        const std::string xText = NextField(line);
        const std::string yText = NextField(line);
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
        if (ids.count(*id)) {
            diags.push_back(
                {path, lineNo, "planet number " + num::intText(*id) + " is listed twice; the first is kept"});
            continue;
        }
        ids.insert(*id);
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
    std::string error;
    auto bytes = readFileBytes(path, &error);
    if (!bytes) {
        diags.push_back({path, 0, error});
        return;
    }
    const std::string text = decodeFileText(*bytes);
    const auto lines = splitLines(text);
    const size_t n = contentLineCount(lines);
    std::unordered_set<const Planet*> reported;
    for (size_t i = 1; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        std::string line = trimBlanks(lines[i]);
        if (line.empty()) {
            diags.push_back({path, lineNo, "empty line"});
            continue;
        }
        const size_t k = fieldCount(line);
        if (k != 27 && k < 36) {
            diags.push_back(
                {path, lineNo, "expected 27 or at least 36 tab-separated fields, found " + std::to_string(k)});
            continue;
        }
        line += '\t';
        const std::string name = NextField(line);
        PlanetPtr planet = planets.Find(name);
        if (!planet) {
            diags.push_back({path, lineNo, "planet " + quoteText(name) + " is not in the map file"});
            continue;
        }
        if (reported.count(planet.get())) {
            diags.push_back({path, lineNo, "planet " + quoteText(name) + " is reported twice; the first is kept"});
            continue;
        }
        Planet updated = *planet;
        if (auto why = readReportFields(line, k >= 36, updated)) {
            diags.push_back({path, lineNo, *why});
            continue;
        }
        *planet = std::move(updated);
        reported.insert(planet.get());
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
    for (size_t i = 0; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        auto items = readListLine(lines[i]);
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
        auto envText = [](const ListItem& item) {
            if (item.quoted) return item.text;
            auto v = num::parseStrict(item.text);
            return v ? num::doubleText(*v) : item.text;
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
