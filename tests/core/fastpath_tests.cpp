// The shortcuts that make loading and rating a large galaxy fast must give exactly what the plain
// computations give: each is compared here with the straightforward way over many inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "analysis/habvalue.h"
#include "analysis/numbertext.h"
#include "base/fieldscan.h"
#include "base/numeric.h"
#include "io/codepage.h"
#include "io/listformat.h"
#include "io/planetloader.h"
#include "io/textfile.h"
#include "model/keyfold.h"
#include "support/scratchfolder.h"

#include <sys/stat.h>

using namespace vornex;

namespace {

std::optional<std::string> slowNumberText(std::string_view text)
{
    auto v = num::parseStrict(text);
    if (!v) return std::nullopt;
    return num::doubleText(*v);
}

void expectSameNumberText(const std::string& text)
{
    EXPECT_EQ(num::numberText(text), slowNumberText(text)) << "text \"" << text << "\"";
}

} // namespace

TEST(FastPaths, NumberTextMatchesDoubleTextOfTheReading)
{
    // Every gravity and temperature a report can hold, written in the ways files write them.
    for (int i = 0; i <= 1000; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%02d", i / 100, i % 100);
        for (std::string t : {std::string(buf), "-" + std::string(buf), "+" + std::string(buf),
                              " " + std::string(buf) + "\t", std::string(buf) + "0", "00" + std::string(buf)})
            expectSameNumberText(t);
        expectSameNumberText(std::to_string(i * 4 - 2000));
    }
    for (const char* t : {"0",
                          "-0",
                          "0.0",
                          "-0.000",
                          ".5",
                          "-.5",
                          "5.",
                          "1.",
                          ".",
                          "-",
                          "+",
                          "",
                          " ",
                          "1e5",
                          "1E-3",
                          "abc",
                          "1.2.3",
                          "0.0001",
                          "0.00012",
                          "0.00001",
                          "-0.0009999",
                          "1000",
                          "10000",
                          "100000000000000",
                          "1000000000000000",
                          "999999999999999",
                          "9999999999999999",
                          "123456789012345",
                          "1234567890123456",
                          "0.123456789012345",
                          "0.1234567890123456",
                          "12345678.1234567",
                          "1234567.12345678",
                          "- 1",
                          "1 2",
                          "inf",
                          "nan",
                          "0x10"})
        expectSameNumberText(t);
    std::string p = "1";
    for (int k = 0; k < 20; ++k, p += "0")
        expectSameNumberText(p);
    // Random decimals of up to eighteen digits with the point anywhere.
    std::mt19937 rng(7);
    for (int n = 0; n < 20000; ++n) {
        int len = std::uniform_int_distribution<int>(1, 18)(rng);
        std::string t;
        for (int k = 0; k < len; ++k)
            t += static_cast<char>('0' + rng() % 10);
        if (rng() % 3) t.insert(rng() % (t.size() + 1), ".");
        if (rng() % 2) t.insert(0, "-");
        expectSameNumberText(t);
    }
}

TEST(FastPaths, GravityClicksFollowTheTableThroughEveryChange)
{
    Gravities table;
    for (int i = 0; i <= 1000; ++i)
        table.Add(gravityKey(static_cast<float>(i) / 100.0f))->Clicks = static_cast<int16_t>(i - 500);
    // Every gravity 0.00 .. 10.00 and random floats (most with no row) against the direct lookup.
    std::mt19937 rng(11);
    std::vector<float> values;
    for (int i = 0; i <= 1000; ++i)
        values.push_back(static_cast<float>(i) / 100.0f);
    for (int i = 0; i < 5000; ++i)
        values.push_back(std::uniform_real_distribution<float>(-2.0f, 12.0f)(rng));
    values.push_back(-0.0f);
    values.push_back(std::nanf(""));
    values.push_back(INFINITY);
    for (int round = 0; round < 2; ++round) // the second round answers from memory
        for (float g : values) {
            GravityPtr row = table.Item(gravityKey(g));
            auto clicks = gravityClicks(g, table);
            ASSERT_EQ(clicks.has_value(), row != nullptr) << g;
            if (row) {
                EXPECT_EQ(*clicks, row->Clicks) << g;
            }
        }
    ASSERT_EQ(gravityClicks(1.5f, table), std::optional<int16_t>(-350));
    // A changed record is read afresh; removed and re-added rows are found as they are now.
    table.Item("1.5")->Clicks = 7;
    EXPECT_EQ(gravityClicks(1.5f, table), std::optional<int16_t>(7));
    table.Remove("1.5");
    EXPECT_EQ(gravityClicks(1.5f, table), std::nullopt);
    table.Add("1.5")->Clicks = 9;
    EXPECT_EQ(gravityClicks(1.5f, table), std::optional<int16_t>(9));
    table.Remove(1); // "0"
    EXPECT_EQ(gravityClicks(0.0f, table), std::nullopt);
    EXPECT_EQ(gravityClicks(0.01f, table), std::optional<int16_t>(-499));
    // A copy answers like the original; a table moved away from is empty.
    Gravities copy = table;
    EXPECT_EQ(gravityClicks(1.5f, copy), std::optional<int16_t>(9));
    Gravities moved = std::move(table);
    EXPECT_EQ(gravityClicks(1.5f, moved), std::optional<int16_t>(9));
    EXPECT_EQ(gravityClicks(1.5f, table), std::nullopt); // NOLINT(bugprone-use-after-move)
    Gravities other;
    other.Add("1.5")->Clicks = -1;
    EXPECT_EQ(gravityClicks(1.5f, other), std::optional<int16_t>(-1));
    EXPECT_EQ(gravityClicks(1.5f, copy), std::optional<int16_t>(9));
}

TEST(FastPaths, KeyedStoreAgreesWithASimpleMapUnderAddAndRemove)
{
    std::mt19937 rng(3);
    Map store;
    std::vector<std::string> order; // keys in store order
    auto nameOf = [](unsigned k) {
        std::string s = "Pl" + std::to_string(k);
        if (k % 3 == 0) s += "\xC3\x89"; // É, folds to é
        return s;
    };
    for (int step = 0; step < 6000; ++step) {
        unsigned k = rng() % 700;
        std::string key = nameOf(k);
        if (rng() % 2) key[0] = 'p'; // the same key in another letter case
        int action = static_cast<int>(rng() % 4);
        auto it =
            std::find_if(order.begin(), order.end(), [&](const std::string& s) { return foldKey(s) == foldKey(key); });
        if (action <= 1) {
            if (it == order.end()) {
                store.Add(key)->ID = static_cast<int16_t>(k);
                order.push_back(key);
            } else {
                EXPECT_THROW(store.Add(key), DuplicateKeyError);
            }
        } else if (action == 2 && it != order.end()) {
            if (rng() % 2)
                store.Remove(key);
            else
                store.Remove(static_cast<int64_t>(it - order.begin()) + 1);
            order.erase(it);
        } else {
            PlanetPtr p = store.Find(key);
            ASSERT_EQ(p != nullptr, it != order.end()) << key;
            if (p) {
                EXPECT_EQ(p->ID, static_cast<int16_t>(k));
                EXPECT_EQ(store.PositionOf(key), it - order.begin() + 1);
            } else {
                EXPECT_EQ(store.PositionOf(key), 0);
            }
        }
        ASSERT_EQ(store.Count(), static_cast<int32_t>(order.size()));
    }
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(store.At(static_cast<int64_t>(i) + 1), store.Find(order[i]));
}

TEST(FastPaths, LinesAndCodePageMatchTheByteByByteReading)
{
    std::mt19937 rng(5);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\t', ' ', '\xB0', '\x80', '\xE9', '\x9D'};
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        int len = static_cast<int>(rng() % 40);
        for (int k = 0; k < len; ++k)
            text += alphabet[rng() % sizeof alphabet];
        // Lines: at CR LF, LF or a lone CR, none keeping its end, no empty line after a final end.
        std::vector<std::string_view> expected;
        size_t start = 0, i = 0;
        while (i < text.size()) {
            if (text[i] == '\n' || text[i] == '\r') {
                expected.push_back(std::string_view(text).substr(start, i - start));
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                start = ++i;
            } else {
                ++i;
            }
        }
        if (start < text.size()) expected.push_back(std::string_view(text).substr(start));
        EXPECT_EQ(splitLines(text), expected);
        // Windows-1252: each byte on its own gives the same characters as the whole text.
        std::string bytewise;
        for (char c : text)
            bytewise += decodeFileText(std::string(1, c));
        EXPECT_EQ(decodeFileText(text), bytewise);
        EXPECT_EQ(encodeWindows1252(decodeFileText(text)), text);
    }
}

TEST(FastPaths, ReportFieldsReadAsNextFieldAndLeadingValueReadThem)
{
    // Report lines whose fields have every length around the eight-byte steps, percent signs,
    // blanks and odd numbers; each planet must hold what the field-by-field reading gives.
    test::ScratchFolder dir;
    const char* pool[] = {"12", "-7", "12%", "1.5", " 3",  "2 5",       "40000",       "-32768", "32767", "32768",
                          "x",  "",   "1e3", "0.5", "2.5", "123456789", "99999999999", "7%%",    "-",     "+4"};
    std::mt19937 rng(9);
    std::string map = "#\tX\tY\tName\r\n";
    std::string report = "Planet Name\tOwner\r\n";
    std::vector<std::string> lines;
    for (int i = 1; i <= 400; ++i) {
        std::string name = "P" + std::to_string(i);
        map += std::to_string(i) + "\t1100\t2900\t" + name + "\r\n";
        std::string line = name;
        for (int f = 1; f < 36; ++f) {
            line += '\t';
            if (f == 20)
                line += (rng() % 4 ? "1.25g" : "g");
            else if (f == 21)
                line += (rng() % 4 ? "-120\xB0"
                                     "C"
                                   : "5%");
            else if (f == 22)
                line += "45mR";
            else
                line += pool[rng() % std::size(pool)];
        }
        lines.push_back(line);
        report += line + "\r\n";
    }
    dir.write("g.map", map);
    dir.write("g.p1", report);
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{dir.folder(), "g", playerNumberOf(1)}, diags);
    size_t rejected = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string rest = decodeFileText(lines[i]) + "\t";
        std::vector<std::string> fields;
        for (int f = 0; f < 36; ++f)
            fields.push_back(NextField(rest));
        bool ok = true;
        std::map<int, double> ints;
        for (int f = 3; f < 36; ++f) {
            if (f == 6 || (f >= 20 && f <= 25) || f == 32 || f == 1 || f == 2) continue;
            double v = LeadingValue(fields[static_cast<size_t>(f)]);
            bool fits = (f == 4 || (f >= 10 && f <= 12)) ? num::tryInt32(v).has_value() : num::tryInt16(v).has_value();
            ok = ok && fits;
            ints[f] = v;
        }
        auto grav = UnitValue(fields[20], 1), temp = UnitValue(fields[21], 2);
        ok = ok && grav && temp;
        PlanetPtr p = planets.Find("P" + std::to_string(i + 1));
        ASSERT_TRUE(p);
        if (!ok) {
            ++rejected;
            EXPECT_EQ(p->ReportAge, -1) << lines[i];
            continue;
        }
        EXPECT_EQ(p->ReportAge, *num::tryInt16(ints[3])) << lines[i];
        EXPECT_EQ(p->Population, *num::tryInt32(ints[4])) << lines[i];
        EXPECT_EQ(p->SurfaceGerm, *num::tryInt32(ints[12])) << lines[i];
        EXPECT_EQ(p->PacketDamage, *num::tryInt16(ints[35])) << lines[i];
        EXPECT_EQ(p->Grav, num::doubleText(*grav)) << lines[i];
        EXPECT_EQ(p->Temp, num::doubleText(*temp)) << lines[i];
        EXPECT_EQ(p->Route, fields[32]) << lines[i];
        EXPECT_EQ(p->ProductionQueue, fields[6]) << lines[i];
    }
    EXPECT_EQ(diags.size(), rejected);
    EXPECT_GT(rejected, 0u);
    EXPECT_LT(rejected, lines.size());
}

namespace {

// Every field of two planets, named, so that a difference shows which one.
void expectSamePlanet(const Planet& a, const Planet& b, const std::string& where)
{
    EXPECT_EQ(a.ID, b.ID) << where;
    EXPECT_EQ(a.Xcord, b.Xcord) << where;
    EXPECT_EQ(a.Ycord, b.Ycord) << where;
    EXPECT_EQ(a.PlanetName, b.PlanetName) << where;
    EXPECT_EQ(a.Owner, b.Owner) << where;
    EXPECT_EQ(a.StarbaseType, b.StarbaseType) << where;
    EXPECT_EQ(a.ReportAge, b.ReportAge) << where;
    EXPECT_EQ(a.Population, b.Population) << where;
    EXPECT_EQ(a.Value, b.Value) << where;
    EXPECT_EQ(a.ProductionQueue, b.ProductionQueue) << where;
    EXPECT_EQ(a.Mines, b.Mines) << where;
    EXPECT_EQ(a.Factories, b.Factories) << where;
    EXPECT_EQ(a.Def, b.Def) << where;
    EXPECT_EQ(a.SurfaceIron, b.SurfaceIron) << where;
    EXPECT_EQ(a.SurfaceBora, b.SurfaceBora) << where;
    EXPECT_EQ(a.SurfaceGerm, b.SurfaceGerm) << where;
    EXPECT_EQ(a.RateIron, b.RateIron) << where;
    EXPECT_EQ(a.RateBora, b.RateBora) << where;
    EXPECT_EQ(a.RateGerm, b.RateGerm) << where;
    EXPECT_EQ(a.ConcentrationIron, b.ConcentrationIron) << where;
    EXPECT_EQ(a.ConcentrationBora, b.ConcentrationBora) << where;
    EXPECT_EQ(a.ConcentrationGerm, b.ConcentrationGerm) << where;
    EXPECT_EQ(a.Resources, b.Resources) << where;
    EXPECT_EQ(a.Grav, b.Grav) << where;
    EXPECT_EQ(a.Temp, b.Temp) << where;
    EXPECT_EQ(a.Rad, b.Rad) << where;
    EXPECT_EQ(a.GravOrig, b.GravOrig) << where;
    EXPECT_EQ(a.TempOrig, b.TempOrig) << where;
    EXPECT_EQ(a.RadOrig, b.RadOrig) << where;
    EXPECT_EQ(a.Terra, b.Terra) << where;
    EXPECT_EQ(a.Capacity, b.Capacity) << where;
    EXPECT_EQ(a.Scanner, b.Scanner) << where;
    EXPECT_EQ(a.Penetration, b.Penetration) << where;
    EXPECT_EQ(a.Driver, b.Driver) << where;
    EXPECT_EQ(a.Warp, b.Warp) << where;
    EXPECT_EQ(a.Route, b.Route) << where;
    EXPECT_EQ(a.GateRange, b.GateRange) << where;
    EXPECT_EQ(a.GateMass, b.GateMass) << where;
    EXPECT_EQ(a.PacketDamage, b.PacketDamage) << where;
}

// A galaxy written as Windows-1252 (the files' own bytes, `bom` false) or as UTF-8 behind a byte
// order mark, with accented names, "°C" units, odd numbers and bad lines.
struct MixedGalaxy {
    std::string map, report;
    std::vector<std::string> exports;
};

MixedGalaxy makeMixedGalaxy(unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](const std::vector<std::string>& pool) { return pool[rng() % pool.size()]; };
    const std::vector<std::string> names = {"Alpha",
                                            "\xC9lan",
                                            "\xE9lan 2",
                                            "S\xE9raphin",
                                            "Beta 7",
                                            "\x8Aoko",
                                            "Gamma",
                                            "Delta",
                                            "\xDC"
                                            "ber",
                                            "Epsilon",
                                            "Zeta\xB0",
                                            "Eta",
                                            "Theta",
                                            "Iota",
                                            "Kappa \x80",
                                            "Lambda"};
    const std::vector<std::string> texts = {"",
                                            "Space Station",
                                            "Orbital Fort",
                                            "Auto Build",
                                            "\xC9t\xE9",
                                            "Fa\xE7"
                                            "ade\x99",
                                            "x%",
                                            "S\xE9raphin",
                                            "Drosk",
                                            "  blank "};
    const std::vector<std::string> ints = {"0",           "12",    "-7",    "12%",    "1.5",    "2.5",      "-0",
                                           "007",         "32767", "32768", "-32768", "-32769", "99999999", "123456789",
                                           "12345678901", "1e3",   "x",     "",       "4\xE9",  "-",        "+4",
                                           " 3",          "3 ",    "9:",    "/1"};
    const std::vector<std::string> numbers = {"1.25", "1.50",   "-120",    "-0",  "0", "45",    "007", "+2",   ".5",
                                              "5.",   "0.0001", "0.00001", "1e3", "x", "1\xE9", "100", "2.500"};
    MixedGalaxy g;
    g.map = "#\tX\tY\tName\r\n";
    for (size_t i = 0; i < names.size(); ++i)
        g.map += std::to_string(i + 1) + "\t" + std::to_string(1000 + 7 * i) + "\t" + std::to_string(2000 - 3 * i) +
                 "\t" + names[i] + "\r\n";
    g.map += "99\t1100\t2100\t\xC9LAN\r\n";    // the same name in capitals: rejected
    g.map += "x\xE9\t1100\t2100\tNowhere\r\n"; // bad number with an accented byte in the message
    g.report = "Planet Name\tOwner\r\n";
    for (int line = 0; line < 60; ++line) {
        std::string l = pick(names) + (rng() % 8 == 0 ? "\xE9" : "");
        for (int f = 1; f < 36; ++f) {
            l += '\t';
            if (f == 20)
                l += pick(numbers) + (rng() % 6 ? "g" : "");
            else if (f == 21)
                l += pick(numbers) + (rng() % 6 ? "\xB0"
                                                  "C"
                                                : "C");
            else if (f == 22)
                l += pick(numbers) + "mR";
            else if (f == 1 || f == 2 || f == 6 || f == 23 || f == 24 || f == 25 || f == 32)
                l += pick(texts);
            else
                l += rng() % 3 ? std::to_string(static_cast<int>(rng() % 2000) - 100) : pick(ints);
        }
        if (rng() % 10 == 0) l = l.substr(0, l.size() / 2); // a short line
        g.report += l + "\r\n";
    }
    g.report += pick(names); // the last line without a line end (and too short)
    for (int f = 0; f < 3; ++f) {
        std::string e;
        for (int r = 0; r < 40; ++r) {
            auto item = [&](const std::string& t) { return rng() % 4 ? "\"" + t + "\"" : t; };
            e += "\"" + pick(names) + "\"," + item(pick(texts)) + "," + pick(ints) + "," + pick(ints) + "," +
                 pick(ints) + "," + pick(ints) + "," + item(pick(texts)) + "," + item(pick(numbers)) + "," +
                 item(pick(numbers)) + "," + item(pick(numbers)) + "\r\n";
            if (rng() % 15 == 0) e += "\"Alpha\",\"short\"\r\n";
        }
        g.exports.push_back(e);
    }
    return g;
}

std::string asUtf8File(const std::string& cp1252)
{
    return "\xEF\xBB\xBF" + decodeFileText(cp1252);
}

} // namespace

TEST(FastPaths, WindowsBytesReadAsTheirDecodedText)
{
    // The same galaxy read from its Windows-1252 bytes (decoded a field at a time) and from UTF-8
    // files (decoded whole): every planet and every message must be the same.
    for (unsigned seed = 1; seed <= 12; ++seed) {
        MixedGalaxy g = makeMixedGalaxy(seed);
        test::ScratchFolder raw, utf8;
        raw.write("g.map", g.map);
        raw.write("g.p1", g.report);
        utf8.write("g.map", asUtf8File(g.map));
        utf8.write("g.p1", asUtf8File(g.report));
        for (size_t i = 0; i < g.exports.size(); ++i) {
            raw.write("export.p" + std::to_string(i + 1), g.exports[i]);
            utf8.write("export.p" + std::to_string(i + 1), asUtf8File(g.exports[i]));
        }
        Map a, b;
        Diagnostics da, db;
        LoadPlanets(a, Game{raw.folder(), "g", playerNumberOf(1)}, da);
        LoadPlanets(b, Game{utf8.folder(), "g", playerNumberOf(1)}, db);
        ASSERT_EQ(a.Count(), b.Count());
        EXPECT_GT(a.Count(), 10);
        for (int32_t i = 1; i <= a.Count(); ++i)
            expectSamePlanet(*a.At(i), *b.At(i), "seed " + std::to_string(seed) + " planet " + a.At(i)->PlanetName);
        ASSERT_EQ(da.size(), db.size()) << "seed " << seed;
        for (size_t i = 0; i < da.size(); ++i) {
            EXPECT_EQ(da[i].line, db[i].line);
            EXPECT_EQ(da[i].reason, db[i].reason);
        }
        EXPECT_TRUE(a.Find("\xC3\xA9lan")); // "élan" found as "Élan"
        EXPECT_NE(a.Find("Zeta\xC2\xB0"), nullptr);
    }
    // A rejected field shows its accented letters as UTF-8, and "°C" is a two-character unit.
    test::ScratchFolder dir;
    dir.write("g.map", "#\tX\tY\tName\r\n1\t1000\t3000\t\xC9lan\r\n2\t1000\t3000\tB\r\n");
    std::string good = "\tOwner\t\t3\t100\t5\t\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1g\t-120\xB0"
                       "C\t45mR\t1g\t-120\xB0"
                       "C\t45mR\t1";
    std::string bad = good;
    bad.replace(bad.find("100"), 3, "9999999999\xE9");
    dir.write("g.p1", "Name\r\n\xC9lan" + good + "\r\nB" + bad + "\r\n");
    Map m;
    Diagnostics d;
    LoadPlanets(m, Game{dir.folder(), "g", playerNumberOf(1)}, d);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].reason, "field 5 (population): \"9999999999\xC3\xA9\" does not fit in 32 bits");
    EXPECT_EQ(m.Item("\xC3\xA9lan")->Temp, "-120");
    EXPECT_EQ(m.Item("\xC3\xA9lan")->TempOrig, "-120\xC2\xB0"
                                               "C");
    EXPECT_EQ(m.Item("B")->ReportAge, -1);
}

TEST(FastPaths, ExportRecordsMergeAsIfWrittenOneByOne)
{
    // The merge decides on the report ages first and writes each planet's winner at the end; it
    // must give what writing every accepted record in turn gives, the "-1 means never reported"
    // rule included (a planet without report takes any record; a record of negative age is none).
    std::mt19937 rng(21);
    for (int round = 0; round < 20; ++round) {
        test::ScratchFolder dir;
        const int planets = 12;
        std::string map = "#\tX\tY\tName\r\n";
        for (int i = 1; i <= planets; ++i)
            map += std::to_string(i) + "\t1000\t3000\tP" + std::to_string(i) + "\r\n";
        dir.write("g.map", map);
        std::string report = "Name\r\n";
        for (int i = 1; i <= planets; i += 2) {
            report += "P" + std::to_string(i) + "\t\t\t" + std::to_string(rng() % 6) + "\t0\t0\t";
            for (int f = 7; f < 27; ++f)
                report += f == 20 ? "\t1g" : f == 21 || f == 22 ? "\t1mR" : "\t0";
            report += "\r\n";
        }
        dir.write("g.p1", report);
        struct Rec {
            std::string name, owner;
            int age;
            std::string grav;
        };
        std::vector<std::vector<Rec>> files(1 + rng() % 4);
        for (size_t f = 0; f < files.size(); ++f) {
            std::string text;
            for (int r = 0; r < 15; ++r) {
                Rec rec{"p" + std::to_string(1 + rng() % (planets + 2)),
                        "O" + std::to_string(f) + "." + std::to_string(r), static_cast<int>(rng() % 7) - 1,
                        rng() % 2 ? "1.50" : "2"};
                files[f].push_back(rec);
                text += "\"" + rec.name + "\",\"" + rec.owner + "\"," + std::to_string(rec.age) + ",100,5,7,\"SB\"," +
                        rec.grav + ",\"-4\",\"9\"\r\n";
            }
            dir.write("export.p" + std::to_string(f + 1), text);
        }
        Map m;
        Diagnostics d;
        LoadPlanets(m, Game{dir.folder(), "g", playerNumberOf(1)}, d);
        // The straightforward way: every record in turn against the planet as it is now.
        std::map<std::string, std::pair<int, std::string>> expected; // name -> age, owner
        for (int i = 1; i <= planets; ++i) {
            PlanetPtr p = m.Find("P" + std::to_string(i));
            ASSERT_TRUE(p);
            expected["P" + std::to_string(i)] = {i % 2 ? -2 : -1, ""};
        }
        Map reportOnly;
        Diagnostics unused;
        test::ScratchFolder plain;
        plain.write("g.map", map);
        plain.write("g.p1", report);
        LoadPlanets(reportOnly, Game{plain.folder(), "g", playerNumberOf(1)}, unused);
        for (auto& [name, v] : expected)
            v = {reportOnly.Find(name)->ReportAge, reportOnly.Find(name)->Owner};
        size_t unknown = 0;
        for (const auto& file : files)
            for (const Rec& r : file) {
                std::string key = "P" + r.name.substr(1);
                auto it = expected.find(key);
                if (it == expected.end() || r.age < 0) {
                    ++unknown;
                    continue;
                }
                if (it->second.first > r.age || it->second.first == -1) it->second = {r.age, r.owner};
            }
        for (const auto& [name, v] : expected) {
            EXPECT_EQ(m.Find(name)->ReportAge, v.first) << name;
            EXPECT_EQ(m.Find(name)->Owner, v.second) << name;
            if (m.Find(name)->Owner[0] == 'O') {
                EXPECT_TRUE(m.Find(name)->Grav == "1.5" || m.Find(name)->Grav == "2") << name;
                EXPECT_EQ(m.Find(name)->Temp, "-4");
                EXPECT_EQ(m.Find(name)->StarbaseType, "SB");
            }
        }
        EXPECT_EQ(d.size(), unknown);
    }
}

TEST(FastPaths, ListLinesAndWholeNumbersMatchTheCharacterByCharacterReading)
{
    // List items: the plain rules, one character at a time.
    auto slowItems = [](std::string_view line) {
        std::vector<std::pair<std::string, bool>> out;
        size_t i = 0;
        if (line.find_first_not_of(" \t") == std::string_view::npos) return out;
        while (true) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            if (i < line.size() && line[i] == '"') {
                size_t close = line.find('"', i + 1);
                out.push_back({std::string(line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                              : close - i - 1)),
                               true});
                size_t comma = close == std::string_view::npos ? close : line.find(',', close + 1);
                if (comma == std::string_view::npos) break;
                i = comma + 1;
            } else {
                size_t comma = line.find(',', i);
                std::string_view t =
                    line.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i);
                out.push_back({std::string(t), false});
                if (comma == std::string_view::npos) break;
                i = comma + 1;
            }
        }
        return out;
    };
    std::mt19937 rng(31);
    const char alphabet[] = {'a', '1', ',', '"', ' ', '\t', '\xE9', '-'};
    std::vector<ListItemView> items;
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        int len = static_cast<int>(rng() % 24);
        for (int k = 0; k < len; ++k)
            line += alphabet[rng() % sizeof alphabet];
        readListLine(line, items);
        auto expected = slowItems(line);
        ASSERT_EQ(items.size(), expected.size()) << line;
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, expected[i].first) << line;
            EXPECT_EQ(items[i].quoted, expected[i].second) << line;
        }
    }
    // A whole file: the items of its lines in turn, each with the bytes that read as that item alone
    // (a blank piece is the empty unquoted item that ends a line after a comma).
    std::vector<FileItem> fileItems;
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        std::vector<std::pair<std::string, bool>> expected;
        int lines = static_cast<int>(rng() % 5);
        for (int l = 0; l < lines; ++l) {
            std::string line;
            int len = static_cast<int>(rng() % 16);
            for (int k = 0; k < len; ++k)
                line += alphabet[rng() % sizeof alphabet];
            auto e = slowItems(line);
            expected.insert(expected.end(), e.begin(), e.end());
            text += line + (rng() % 2 ? "\r\n" : "\n");
        }
        readListItems(text, fileItems);
        ASSERT_EQ(fileItems.size(), expected.size()) << text;
        for (size_t i = 0; i < fileItems.size(); ++i) {
            EXPECT_EQ(fileItems[i].text, expected[i].first) << text;
            EXPECT_EQ(fileItems[i].quoted, expected[i].second) << text;
            const std::string_view raw =
                std::string_view(text).substr(fileItems[i].rawBegin, fileItems[i].rawEnd - fileItems[i].rawBegin);
            readListLine(raw, items);
            if (raw.find_first_not_of(" \t") == std::string_view::npos) {
                EXPECT_TRUE(items.empty() && expected[i].first.empty() && !expected[i].second) << text;
            } else {
                ASSERT_EQ(items.size(), 1u) << text;
                EXPECT_EQ(items[0].text, expected[i].first) << text;
            }
        }
    }
    // Whole numbers: the short cut agrees with rounding the strict reading.
    const char digits[] = {'0', '1', '5', '9', '-', '+', ' ', '.', ':', '/'};
    for (int n = 0; n < 50000; ++n) {
        std::string t;
        int len = static_cast<int>(rng() % 12);
        for (int k = 0; k < len; ++k)
            t += digits[rng() % (k == 0 ? sizeof digits : 4)];
        auto v = num::parseStrict(t);
        EXPECT_EQ(num::parseInt16(t), v ? num::tryInt16(*v) : std::nullopt) << t;
        EXPECT_EQ(num::parseInt32(t), v ? num::tryInt32(*v) : std::nullopt) << t;
    }
}

TEST(FastPaths, RecordsMadeInOneBlockOutliveTheirTable)
{
    PlanetPtr kept;
    Map copy;
    {
        Map m;
        m.Reserve(100);
        for (int i = 0; i < 150; ++i)
            m.Add("P" + std::to_string(i))->ID = static_cast<int16_t>(i); // beyond the block too
        kept = m.Item("p7");
        copy = m;
        m.Remove("P8");
        EXPECT_EQ(m.Count(), 149);
        EXPECT_EQ(m.TryAdd("p9"), nullptr);
        EXPECT_EQ(m.Count(), 149);
        EXPECT_EQ(m.PositionOf("P10", 10), 10); // the hint is checked, not trusted
        EXPECT_EQ(m.PositionOf("P10", 11), 10);
        EXPECT_EQ(m.PositionOf("P10", 999), 10);
    }
    EXPECT_EQ(kept->ID, 7);
    kept->Owner = "still here";
    EXPECT_EQ(copy.Item("P7")->Owner, "still here"); // a copy shares the records
    copy.Add("New")->ID = 1000;                      // and makes its own new ones
    EXPECT_EQ(copy.Count(), 151);
    EXPECT_EQ(copy.Item(151)->ID, 1000);
    EXPECT_EQ(copy.Item("P149")->ID, 149);
}

TEST(FastPaths, FileReadingTellsWhatWentWrong)
{
    test::ScratchFolder dir;
    std::string big(300000, 'x');
    big[123456] = '\0';
    dir.write("big", big);
    dir.write("empty", "");
    auto buffer = readFileBuffer(dir.path("big"));
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->view(), big);
    EXPECT_EQ(readFileBytes(dir.path("big")), big);
    ASSERT_TRUE(readFileBuffer(dir.path("empty")));
    EXPECT_EQ(readFileBuffer(dir.path("empty"))->size, 0u);
    std::string error;
    EXPECT_FALSE(readFileBuffer(dir.path("missing"), &error));
    EXPECT_EQ(error, "file not found");
    EXPECT_FALSE(readFileBytes(dir.folder(), &error));
    EXPECT_EQ(error, "is a folder, not a file");
#ifndef _WIN32 // Windows keeps its named pipes out of the file system
    ASSERT_EQ(::mkfifo(dir.path("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(readFileBuffer(dir.path("pipe"), &error)); // and does not wait for a writer
    EXPECT_EQ(error, "not a regular file");
#endif
}

TEST(FastPaths, UnitAndWholeNumberFieldsReadAsUnitValueAndLeadingValueReadThem)
{
    // Numbers with units in every form a hand-edited report may hold, and whole numbers of every
    // length around the eight-digit step, read straight from the bytes and also through the
    // plain functions on the decoded text.
    std::mt19937 rng(41);
    const char chars[] = {'0', '1', '2', '5', '9', '.', '-', '+', 'e', ' ', '\xE9', ':', '/'};
    auto randomNumber = [&] {
        std::string t;
        int len = static_cast<int>(rng() % (rng() % 4 ? 10 : 19));
        for (int k = 0; k < len; ++k)
            t += chars[rng() % (rng() % 16 ? 5 : sizeof chars)];
        if (rng() % 3 == 0) t.insert(rng() % (t.size() + 1), ".");
        return t;
    };
    test::ScratchFolder dir;
    std::string map = "#\tX\tY\tName\r\n";
    std::string report = "Planet Name\tOwner\r\n";
    std::vector<std::vector<std::string>> rows;
    const int lines = 3000;
    for (int i = 1; i <= lines; ++i) {
        map += std::to_string(i) + "\t1100\t2900\tP" + std::to_string(i) + "\r\n";
        std::vector<std::string> f(36, "1");
        f[0] = "P" + std::to_string(i);
        f[3] = randomNumber();
        f[4] = randomNumber();
        f[20] = randomNumber() + (rng() % 8 ? "g" : "");
        f[21] = randomNumber() + (rng() % 8 ? "\xB0"
                                              "C"
                                            : "");
        f[22] = randomNumber() + "mR";
        // The edges of the plain form: an exponent below 1E-4, and at most fifteen digits.
        static const char* const edges[] = {"0.0001",
                                            "0.00001",
                                            "0.00009",
                                            "0.00010",
                                            "-0.0001",
                                            "-0.00001",
                                            "0.000123",
                                            "0.001",
                                            "1E-04",
                                            "1E-05",
                                            "0.0000",
                                            "-0",
                                            "100000000000000",
                                            "1000000000000000",
                                            "123456789012345",
                                            "1234567890123456",
                                            "0.12345678901234",
                                            "0.123456789012345",
                                            "9.99999999999999",
                                            "0.00099999"};
        if (size_t e = size_t(i) - 1; e < std::size(edges)) {
            f[3] = f[4] = "1";
            f[20] = std::string(edges[e]) + "g";
            f[21] = std::string(edges[e]) + "\xB0"
                                            "C";
            f[22] = std::string(edges[e]) + "mR";
        }
        std::string line = f[0];
        for (int k = 1; k < 36; ++k)
            line += "\t" + f[static_cast<size_t>(k)];
        report += line + (i < lines ? "\r\n" : ""); // the last field ends the file
        rows.push_back(f);
    }
    dir.write("g.map", map);
    dir.write("g.p1", report);
    Map m;
    Diagnostics d;
    LoadPlanets(m, Game{dir.folder(), "g", playerNumberOf(1)}, d);
    size_t accepted = 0;
    for (const auto& f : rows) {
        auto age = num::tryInt16(LeadingValue(decodeFileText(f[3])));
        auto population = num::tryInt32(LeadingValue(decodeFileText(f[4])));
        auto grav = UnitValue(decodeFileText(f[20]), 1);
        auto temp = UnitValue(decodeFileText(f[21]), 2);
        auto rad = UnitValue(decodeFileText(f[22]), 2);
        const Planet& p = *m.Item(f[0]);
        if (!(age && population && grav && temp && rad)) {
            EXPECT_EQ(p.ReportAge, -1) << f[3] << " " << f[4] << " " << f[20] << " " << f[21] << " " << f[22];
            continue;
        }
        ++accepted;
        EXPECT_EQ(p.ReportAge, *age) << f[3];
        EXPECT_EQ(p.Population, *population) << f[4];
        EXPECT_EQ(p.Grav, num::doubleText(*grav)) << f[20];
        EXPECT_EQ(p.Temp, num::doubleText(*temp)) << f[21];
        EXPECT_EQ(p.Rad, num::doubleText(*rad)) << f[22];
    }
    int64_t rejected = 0;
    for (const Diagnostic& note : d)
        rejected += note.rejectedLines();
    EXPECT_EQ(rejected, int64_t(rows.size() - accepted));
    EXPECT_GT(accepted, rows.size() / 10);
    EXPECT_GT(rejected, int64_t(rows.size() / 10));
}

TEST(FastPaths, KeyFoldingMatchesTheLetterByLetterRule)
{
    auto slowFold = [](const std::string& key) {
        std::string out = key;
        for (size_t i = 0; i < out.size(); ++i) {
            auto c = static_cast<unsigned char>(out[i]);
            if (c >= 'A' && c <= 'Z') {
                out[i] = static_cast<char>(c + 32);
            } else if (c == 0xC3 && i + 1 < out.size()) {
                auto d = static_cast<unsigned char>(out[i + 1]);
                if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
                ++i;
            } else if (c == 0xC5 && i + 1 < out.size()) {
                // Œ Š Ž and Ÿ, the capitals Windows-1252 has beyond Latin-1.
                static const std::map<std::string, std::string> capitals = {
                    {"Œ", "œ"}, {"Š", "š"}, {"Ž", "ž"}, {"Ÿ", "ÿ"}};
                auto it = capitals.find(out.substr(i, 2));
                if (it != capitals.end()) out.replace(i, 2, it->second);
                ++i;
            }
        }
        return out;
    };
    std::mt19937 rng(51);
    const char alphabet[] = {'A',    'Z',    'a',    'z',    '@',    '[',    '`',    '{',
                             ' ',    '9',    '\x7F', '\xC3', '\x89', '\x97', '\x9E', '\xA9',
                             '\xC5', '\x92', '\xA0', '\xBD', '\xB8', '\xA1', '\xBF'};
    for (int n = 0; n < 20000; ++n) {
        std::string key;
        int len = static_cast<int>(rng() % 30);
        for (int k = 0; k < len; ++k)
            key += alphabet[rng() % (rng() % 3 ? 10 : sizeof alphabet)];
        EXPECT_EQ(foldKey(key), slowFold(key)) << key;
    }
}

TEST(FastPaths, TinyFilesWithAByteOrderMarkReadWhole)
{
    // Files whose decoded text is only a few characters long (held inside the string itself).
    test::ScratchFolder dir;
    dir.write("g.map", "\xEF\xBB\xBF#\r\n7\t1\t2\t\xC3\x89");
    dir.write("g.p1", "\xEF\xBB\xBFN\r\n\xC3\x89\tA\r\n");
    dir.write("export.p1", "\xEF\xBB\xBF\"\xC3\xA9\",\"O\",1\r\n");
    Map m;
    Diagnostics d;
    LoadPlanets(m, Game{dir.folder(), "g", playerNumberOf(1)}, d);
    ASSERT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Item(1)->ID, 7);
    EXPECT_EQ(m.Item(1)->PlanetName, "\xC3\x89");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].reason, "expected 27 or at least 36 tab-separated fields, found 2");
    EXPECT_EQ(d[1].reason, "expected 10 items, found 3");
}

// Each byte-scanning shortcut against the plain loop it stands in for, on random bytes of every
// length around the 8- and 16-byte steps, read at every offset of a padded buffer.
TEST(FastPaths, ByteScansMatchThePlainLoops)
{
#if defined(VORNEX_PORTABLE_SCAN)
    // The build option must leave nothing but the plain loops.
    EXPECT_FALSE(scan::kSse2 || scan::kWords);
#endif
    std::mt19937 rng(7);
    const char alphabet[] = {'a', 'Z', 'A', '@', '[', '0', '9', '/', ':', '\t', ',', '"', '\x80', '\xFF', ' '};
    std::string buf(64, '\0');
    for (int n = 0; n < 20000; ++n) {
        for (char& c : buf)
            c = alphabet[rng() % sizeof alphabet];
        const size_t len = rng() % 40, at = rng() % 8;
        const char* p = buf.data() + at; // at least eight readable bytes follow every field
        const std::string_view s(p, len);
        const std::string shown(s);

        EXPECT_EQ(scan::findByte(p, 0, len, ','), scan::portable::findByte(p, 0, len, ',')) << shown;
        EXPECT_EQ(scan::hasHighByte(s), scan::portable::hasHighByte(s)) << shown;
        EXPECT_EQ(scan::fieldHasHighByte(s), scan::portable::hasHighByte(s)) << shown;
        EXPECT_EQ(scan::asciiRunEnd(p, len), scan::portable::asciiRunEnd(p, len)) << shown;

        // Tabs all found in order; then stopping at the k-th gives the same position.
        std::vector<size_t> fast, plain;
        bool fastHigh = false, plainHigh = false;
        EXPECT_FALSE(scan::forEachTab(
            p, len,
            [&](size_t i) {
                fast.push_back(i);
                return false;
            },
            fastHigh));
        scan::portable::forEachTab(
            p, len,
            [&](size_t i) {
                plain.push_back(i);
                return false;
            },
            plainHigh);
        EXPECT_EQ(fast, plain) << shown;
        EXPECT_EQ(fastHigh, plainHigh) << shown;
        if (!plain.empty()) {
            const size_t k = rng() % plain.size();
            size_t seen = 0, stop = len;
            EXPECT_TRUE(scan::forEachTab(
                p, len,
                [&](size_t i) {
                    stop = i;
                    return seen++ == k;
                },
                fastHigh));
            EXPECT_EQ(stop, plain[k]) << shown;
        }

        // Digits: a run of up to nine digits read, or refused, as the plain loop does.
        const size_t digitLen = rng() % 10;
        std::string number(digitLen, '0');
        for (char& c : number)
            c = static_cast<char>('0' + rng() % 10);
        if (digitLen > 0 && rng() % 4 == 0) number[rng() % digitLen] = alphabet[rng() % sizeof alphabet];
        std::string padded = number + std::string(8, '7');
        uint32_t fastValue = 0, plainValue = 0;
        const bool fastOk = scan::digits(padded.data(), digitLen, fastValue);
        ASSERT_EQ(fastOk, scan::portable::digits(padded.data(), digitLen, plainValue)) << number;
        if (fastOk) {
            EXPECT_EQ(fastValue, plainValue) << number;
        }

        // Folding: what the word loop copied is the plain fold of the same bytes.
        char folded[64], expected[64];
        const size_t done = scan::foldAsciiWords(p, len, folded);
        ASSERT_LE(done, len);
        scan::portable::foldAscii(p, done, expected);
        EXPECT_EQ(std::string_view(folded, done), std::string_view(expected, done)) << shown;
        if (scan::kWords && !scan::portable::hasHighByte(s)) {
            EXPECT_GT(done + 8, len) << shown; // only a short tail is left to the caller
        }
    }
}
