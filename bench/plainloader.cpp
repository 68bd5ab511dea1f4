#include "plainloader.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "io/codepage.h"

namespace vornex::bench {
namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

std::vector<std::string_view> split(std::string_view line, char sep)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        size_t end = line.find(sep, start);
        out.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

std::string_view unquoted(std::string_view item)
{
    while (!item.empty() && item.front() == ' ')
        item.remove_prefix(1);
    if (item.size() >= 2 && item.front() == '"' && item.back() == '"') return item.substr(1, item.size() - 2);
    return item;
}

double number(std::string_view text)
{
    if (!text.empty() && text.back() == '%') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

template <typename T> T whole(std::string_view text)
{
    return static_cast<T>(std::nearbyint(number(text)));
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A number text without its unit of n characters, as the planets keep it ("1.5", "-120").
std::string withoutUnit(std::string_view utf8, int n)
{
    std::string_view rest = utf8;
    for (int i = 0; i < n && !rest.empty(); ++i) {
        rest.remove_suffix(1);
        while (!rest.empty() && (static_cast<unsigned char>(rest.back()) & 0xC0) == 0x80)
            rest.remove_suffix(1);
    }
    const double v = number(rest);
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, ec == std::errc() ? end : buf);
}

} // namespace

PlainTables plainLoad(const std::string& folder, const std::string& game, int player)
{
    PlainTables t;
    for (std::string_view line : lines(readAll(folder + "gravity.csv"))) {
        auto items = split(line, ',');
        if (items.size() >= 2) t.gravityClicks[std::string(unquoted(items[0]))] = whole<int16_t>(items[1]);
    }
    {
        const std::string text = decodeWindows1252(readAll(folder + "player.inf"));
        for (std::string_view line : lines(text)) {
            auto it = split(line, ',');
            if (it.size() < 13) continue;
            Player p;
            p.PlayerName = unquoted(it[0]);
            p.RaceName = unquoted(it[1]);
            p.HomeWorld = unquoted(it[2]);
            p.Colour = whole<int32_t>(it[3]);
            p.GravMin = static_cast<float>(number(it[4]));
            p.GravMax = static_cast<float>(number(it[5]));
            p.TempMin = whole<int16_t>(it[6]);
            p.TempMax = whole<int16_t>(it[7]);
            p.RadMin = whole<int16_t>(it[8]);
            p.RadMax = whole<int16_t>(it[9]);
            p.GravTerra = whole<int16_t>(it[10]);
            p.TempTerra = whole<int16_t>(it[11]);
            p.RadTerra = whole<int16_t>(it[12]);
            p.Number = static_cast<int16_t>(t.players.size() + 1);
            t.players.push_back(std::move(p));
        }
    }
    {
        const std::string text = decodeWindows1252(readAll(folder + game + ".map"));
        auto all = lines(text);
        for (size_t i = 1; i < all.size(); ++i) {
            auto f = split(all[i], '\t');
            if (f.size() < 4) continue;
            auto p = std::make_unique<Planet>();
            p->ID = whole<int16_t>(f[0]);
            p->Xcord = static_cast<int16_t>(std::nearbyint(number(f[1]) - 1000));
            p->Ycord = static_cast<int16_t>(std::nearbyint(3000 - number(f[2])));
            p->PlanetName = f[3];
            p->ReportAge = -1;
            p->Owner = "Uninhabited";
            t.byName.emplace(lower(p->PlanetName), p.get());
            t.planets.push_back(std::move(p));
        }
    }
    {
        const std::string text = decodeWindows1252(readAll(folder + game + ".p" + std::to_string(player)));
        auto all = lines(text);
        for (size_t i = 1; i < all.size(); ++i) {
            auto f = split(all[i], '\t');
            if (f.size() < 27) continue;
            auto it = t.byName.find(lower(f[0]));
            if (it == t.byName.end()) continue;
            Planet& p = *it->second;
            p.Owner = f[1].empty() ? std::string("Uninhabited") : std::string(f[1]);
            p.StarbaseType = f[2];
            p.ReportAge = whole<int16_t>(f[3]);
            p.Population = whole<int32_t>(f[4]);
            p.Value = whole<int16_t>(f[5]);
            p.ProductionQueue = f[6];
            p.Mines = whole<int16_t>(f[7]);
            p.Factories = whole<int16_t>(f[8]);
            p.Def = whole<int16_t>(f[9]);
            p.SurfaceIron = whole<int32_t>(f[10]);
            p.SurfaceBora = whole<int32_t>(f[11]);
            p.SurfaceGerm = whole<int32_t>(f[12]);
            p.RateIron = whole<int16_t>(f[13]);
            p.RateBora = whole<int16_t>(f[14]);
            p.RateGerm = whole<int16_t>(f[15]);
            p.ConcentrationIron = whole<int16_t>(f[16]);
            p.ConcentrationBora = whole<int16_t>(f[17]);
            p.ConcentrationGerm = whole<int16_t>(f[18]);
            p.Resources = whole<int16_t>(f[19]);
            p.Grav = withoutUnit(f[20], 1);
            p.Temp = withoutUnit(f[21], 2);
            p.Rad = withoutUnit(f[22], 2);
            p.GravOrig = f[23];
            p.TempOrig = f[24];
            p.RadOrig = f[25];
            p.Terra = whole<int16_t>(f[26]);
            if (f.size() >= 36) {
                p.Capacity = whole<int16_t>(f[27]);
                p.Scanner = whole<int16_t>(f[28]);
                p.Penetration = whole<int16_t>(f[29]);
                p.Driver = whole<int16_t>(f[30]);
                p.Warp = whole<int16_t>(f[31]);
                p.Route = f[32];
                p.GateRange = whole<int16_t>(f[33]);
                p.GateMass = whole<int16_t>(f[34]);
                p.PacketDamage = whole<int16_t>(f[35]);
            }
        }
    }
    for (int n = 1; n <= 16; ++n) {
        const std::string bytes = readAll(folder + "export.p" + std::to_string(n));
        if (bytes.empty()) continue;
        const std::string text = decodeWindows1252(bytes);
        for (std::string_view line : lines(text)) {
            auto it = split(line, ',');
            if (it.size() < 10) continue;
            auto found = t.byName.find(lower(unquoted(it[0])));
            if (found == t.byName.end()) continue;
            Planet& p = *found->second;
            const int16_t age = whole<int16_t>(it[2]);
            if (p.ReportAge != -1 && age >= p.ReportAge) continue;
            p.Owner = unquoted(it[1]);
            p.ReportAge = age;
            p.Population = whole<int32_t>(it[3]);
            p.Value = whole<int16_t>(it[4]);
            p.Def = whole<int16_t>(it[5]);
            p.StarbaseType = unquoted(it[6]);
            p.Grav = unquoted(it[7]);
            p.Temp = unquoted(it[8]);
            p.Rad = unquoted(it[9]);
        }
    }
    return t;
}

} // namespace vornex::bench
