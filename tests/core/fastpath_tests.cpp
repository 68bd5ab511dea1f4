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
#include "analysis/numeric.h"
#include "io/codepage.h"
#include "io/planetloader.h"
#include "io/textfile.h"
#include "model/keyfold.h"
#include "scratchfolder.h"

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

}  // namespace

TEST(FastPaths, NumberTextMatchesDoubleTextOfTheReading)
{
    // Every gravity and temperature a report can hold, written in the ways files write them.
    for (int i = 0; i <= 1000; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%02d", i / 100, i % 100);
        for (std::string t : {std::string(buf), "-" + std::string(buf), "+" + std::string(buf), " " + std::string(buf) + "\t",
                              std::string(buf) + "0", "00" + std::string(buf)})
            expectSameNumberText(t);
        expectSameNumberText(std::to_string(i * 4 - 2000));
    }
    for (const char* t : {"0", "-0", "0.0", "-0.000", ".5", "-.5", "5.", "1.", ".", "-", "+", "", " ", "1e5", "1E-3",
                          "abc", "1.2.3", "0.0001", "0.00012", "0.00001", "-0.0009999", "1000", "10000",
                          "100000000000000", "1000000000000000", "999999999999999", "9999999999999999",
                          "123456789012345", "1234567890123456", "0.123456789012345", "0.1234567890123456",
                          "12345678.1234567", "1234567.12345678", "- 1", "1 2", "inf", "nan", "0x10"})
        expectSameNumberText(t);
    std::string p = "1";
    for (int k = 0; k < 20; ++k, p += "0") expectSameNumberText(p);
    // Random decimals of up to eighteen digits with the point anywhere.
    std::mt19937 rng(7);
    for (int n = 0; n < 20000; ++n) {
        int len = std::uniform_int_distribution<int>(1, 18)(rng);
        std::string t;
        for (int k = 0; k < len; ++k) t += static_cast<char>('0' + rng() % 10);
        if (rng() % 3) t.insert(rng() % (t.size() + 1), ".");
        if (rng() % 2) t.insert(0, "-");
        expectSameNumberText(t);
    }
}

TEST(FastPaths, GravityClicksFollowTheTableThroughEveryChange)
{
    Gravities table;
    for (int i = 0; i <= 1000; ++i) table.Add(gravityKey(static_cast<float>(i) / 100.0f))->Clicks = static_cast<int16_t>(i - 500);
    // Every gravity 0.00 .. 10.00 and random floats (most with no row) against the direct lookup.
    std::mt19937 rng(11);
    std::vector<float> values;
    for (int i = 0; i <= 1000; ++i) values.push_back(static_cast<float>(i) / 100.0f);
    for (int i = 0; i < 5000; ++i) values.push_back(std::uniform_real_distribution<float>(-2.0f, 12.0f)(rng));
    values.push_back(-0.0f);
    values.push_back(std::nanf(""));
    values.push_back(INFINITY);
    for (int round = 0; round < 2; ++round)  // the second round answers from memory
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
    table.Remove(1);  // "0"
    EXPECT_EQ(gravityClicks(0.0f, table), std::nullopt);
    EXPECT_EQ(gravityClicks(0.01f, table), std::optional<int16_t>(-499));
    // A copy answers like the original; a table moved away from is empty.
    Gravities copy = table;
    EXPECT_EQ(gravityClicks(1.5f, copy), std::optional<int16_t>(9));
    Gravities moved = std::move(table);
    EXPECT_EQ(gravityClicks(1.5f, moved), std::optional<int16_t>(9));
    EXPECT_EQ(gravityClicks(1.5f, table), std::nullopt);  // NOLINT(bugprone-use-after-move)
    Gravities other;
    other.Add("1.5")->Clicks = -1;
    EXPECT_EQ(gravityClicks(1.5f, other), std::optional<int16_t>(-1));
    EXPECT_EQ(gravityClicks(1.5f, copy), std::optional<int16_t>(9));
}

TEST(FastPaths, KeyedStoreAgreesWithASimpleMapUnderAddAndRemove)
{
    std::mt19937 rng(3);
    Map store;
    std::vector<std::string> order;  // keys in store order
    auto nameOf = [](unsigned k) {
        std::string s = "Pl" + std::to_string(k);
        if (k % 3 == 0) s += "\xC3\x89";  // É, folds to é
        return s;
    };
    for (int step = 0; step < 6000; ++step) {
        unsigned k = rng() % 700;
        std::string key = nameOf(k);
        if (rng() % 2) key[0] = 'p';  // the same key in another letter case
        int action = static_cast<int>(rng() % 4);
        auto it = std::find_if(order.begin(), order.end(),
                               [&](const std::string& s) { return foldKey(s) == foldKey(key); });
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
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(store.At(static_cast<int64_t>(i) + 1), store.Find(order[i]));
}

TEST(FastPaths, LinesAndCodePageMatchTheByteByByteReading)
{
    std::mt19937 rng(5);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\t', ' ', '\xB0', '\x80', '\xE9', '\x9D'};
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        int len = static_cast<int>(rng() % 40);
        for (int k = 0; k < len; ++k) text += alphabet[rng() % sizeof alphabet];
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
        for (char c : text) bytewise += decodeFileText(std::string(1, c));
        EXPECT_EQ(decodeFileText(text), bytewise);
        EXPECT_EQ(encodeWindows1252(decodeFileText(text)), text);
    }
}

TEST(FastPaths, ReportFieldsReadAsNextFieldAndLeadingValueReadThem)
{
    // Report lines whose fields have every length around the eight-byte steps, percent signs,
    // blanks and odd numbers; each planet must hold what the field-by-field reading gives.
    test::ScratchFolder dir;
    const char* pool[] = {"12", "-7", "12%", "1.5", " 3", "2 5", "40000", "-32768", "32767", "32768", "x", "",
                          "1e3", "0.5", "2.5", "123456789", "99999999999", "7%%", "-", "+4"};
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
            if (f == 20) line += (rng() % 4 ? "1.25g" : "g");
            else if (f == 21) line += (rng() % 4 ? "-120\xB0" "C" : "5%");
            else if (f == 22) line += "45mR";
            else line += pool[rng() % std::size(pool)];
        }
        lines.push_back(line);
        report += line + "\r\n";
    }
    dir.write("g.map", map);
    dir.write("g.p1", report);
    struct Settings : SettingsStore {
        std::string read(const std::string&, const std::string&, const std::string&, const std::string&) const override
        {
            return "1";
        }
        void write(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    } settings;
    struct NoPrompt : Prompter {
        std::optional<std::string> ask(const std::string&, const std::string&) override { return std::nullopt; }
    } prompter;
    Map planets;
    Diagnostics diags;
    ASSERT_EQ(LoadPlanets(planets, dir.folder(), "g", settings, prompter, diags), LoadOutcome::Loaded);
    size_t rejected = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string rest = decodeFileText(lines[i]) + "\t";
        std::vector<std::string> fields;
        for (int f = 0; f < 36; ++f) fields.push_back(NextField(rest));
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
