#include "galaxy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <unordered_set>
#include <vector>

#include "analysis/numbertext.h"

namespace vornex::bench {
namespace {

namespace fs = std::filesystem;

// Race names as the players table holds them; the report and export files name owners with them.
// Bytes are Windows-1252 ("\xE9" is e acute).
const char* const kRaces[16] = {"Kethri", "S\xE9raphin", "Ulvani",  "Drosk", "Mireen", "Tazhul",  "Ormagi", "Venn",
                                "Qarrax", "Lumeth",      "Phaedri", "Crill", "Ysolde", "Brakkar", "Nokt",   "Aevum"};

const char* const kSyllables[] = {"al", "be", "cor", "da",  "el", "fa",  "gor", "ha", "is", "jun",
                                  "ka", "lo", "mi",  "nor", "o",  "pra", "qu",  "ri", "sa", "tu",
                                  "u",  "ve", "wa",  "xi",  "ya", "ze",  "th",  "an", "or", "\xE9"};

std::string capitalised(std::string s)
{
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

void writeFile(const fs::path& path, const std::string& bytes, uint64_t& total)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
    total += bytes.size();
}

struct GenPlanet {
    std::string name;
    int owner = -1; // race index or -1
    int age = 0;
    std::string grav; // gravity text (2 decimals at most)
    int temp = 0;
    int rad = 0;
};

} // namespace

std::string makeTempFolder(const std::string& prefix)
{
    std::string tmpl = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("cannot create a temporary folder");
    return std::string(buf.data()) + "/";
}

void removeFolder(const std::string& folder)
{
    std::error_code ec;
    fs::remove_all(folder, ec);
}

GalaxyFiles writeGalaxy(const std::string& folderIn, const GalaxyOptions& opt)
{
    std::string folder = folderIn;
    if (folder.empty() || folder.back() != '/') folder += '/';
    fs::create_directories(folder);
    GalaxyFiles files;
    files.folder = folder;

    std::mt19937 rng(opt.seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    // Gravity table: 101 clicks from -50 to 50 on a geometric scale from 0.12 g to 8 g, keyed by the
    // text under which the program looks a gravity value up.
    std::vector<std::string> gravityTexts;
    std::string gravityCsv;
    {
        std::unordered_set<std::string> keys;
        for (int click = -50; click <= 50; ++click) {
            double g = 0.12 * std::pow(8.0 / 0.12, (click + 50) / 100.0);
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", g);
            std::string key = gravityKey(std::strtof(text, nullptr));
            if (!keys.insert(key).second) continue;
            gravityTexts.push_back(key);
            gravityCsv += key + "," + std::to_string(click) + "\r\n";
        }
    }
    writeFile(folder + "gravity.csv", gravityCsv, files.totalBytes);

    // Players table: sixteen races with colours and habitable ranges.
    std::string players;
    for (int i = 0; i < 16; ++i) {
        int colour = (uniform(64, 255)) | (uniform(64, 255) << 8) | (uniform(64, 255) << 16);
        int gmin = uniform(0, 40);
        int tmin = uniform(-50, 0) * 4;
        int rmin = uniform(0, 50);
        char line[512];
        std::snprintf(line, sizeof line, "\"Player %d\",\"%s\",\"%s\",%d,%s,%s,%d,%d,%d,%d,%d,%d,%d\r\n", i + 1,
                      kRaces[i], ("Home of " + std::string(kRaces[i])).c_str(), colour,
                      gravityTexts[static_cast<size_t>(gmin)].c_str(),
                      gravityTexts[static_cast<size_t>(gmin + 40)].c_str(), tmin, tmin + 160, rmin, rmin + 40,
                      uniform(0, 15), uniform(0, 15), uniform(0, 15));
        players += line;
    }
    writeFile(folder + "player.inf", players, files.totalBytes);

    // Planets: unique names (letter case ignored), spread over 2000 x 2000 map units.
    std::vector<GenPlanet> planets(static_cast<size_t>(opt.planets));
    std::unordered_set<std::string> used;
    std::string map = "#\tX\tY\tName\r\n";
    map.reserve(static_cast<size_t>(opt.planets) * 32);
    std::vector<std::string> mapLines;
    for (int i = 0; i < opt.planets; ++i) {
        GenPlanet& p = planets[static_cast<size_t>(i)];
        std::string name;
        do {
            name.clear();
            int n = uniform(2, 3);
            for (int s = 0; s < n; ++s)
                name += kSyllables[uniform(0, static_cast<int>(std::size(kSyllables)) - 1)];
            name = capitalised(name);
            if (uniform(0, 3) == 0) {
                name += ' ';
                name += std::to_string(uniform(2, 999));
            }
        } while (!used.insert(lowerAscii(name)).second);
        p.name = name;
        int x = 1000 + uniform(0, 2000);
        int y = 1000 + uniform(0, 2000);
        mapLines.push_back(std::to_string(i + 1) + "\t" + std::to_string(x) + "\t" + std::to_string(y) + "\t" + name +
                           "\r\n");

        p.owner = uniform(0, 9) < 3 ? uniform(0, 15) : -1;
        p.age = uniform(0, 20);
        p.grav = gravityTexts[static_cast<size_t>(uniform(0, static_cast<int>(gravityTexts.size()) - 1))];
        p.temp = uniform(-50, 50) * 4;
        p.rad = uniform(0, 100);
    }
    if (opt.shuffledMap) {
        std::shuffle(mapLines.begin(), mapLines.end(), rng);
        map += "0\t1000\tnorth\tUnreadable\r\n";
    }
    for (const std::string& l : mapLines)
        map += l;
    writeFile(folder + std::string(kGalaxyGame) + ".map", map, files.totalBytes);

    // Planets report: every planet, all 36 columns.
    std::string report =
        "Planet Name\tOwner\tStarbase\tReport Age\tPopulation\tValue\tProduction Q\tMines\tFactories\t"
        "Def %\tS Iron\tS Bora\tS Germ\tIron MR\tBora MR\tGerm MR\tIron MC\tBora MC\tGerm MC\tResources\t"
        "Grav\tTemp\tRad\tGrav Orig\tTemp Orig\tRad Orig\tTerra\tCapacity\tScan\tPen Scan\tDriver\tDriver Warp\t"
        "Route To\tGate Range\tGate Mass\tPct Dmg\r\n";
    std::vector<std::string> reportLines;
    reportLines.reserve(planets.size());
    char line[1024];
    for (const GenPlanet& p : planets) {
        const char* owner = p.owner >= 0 ? kRaces[p.owner] : "";
        const char* starbase = p.owner >= 0 && uniform(0, 3) == 0 ? "Space Station" : "";
        int pop = p.owner >= 0 ? uniform(1, 1500) * 100 : 0;
        int tempOrig = p.temp + uniform(-2, 2) * 4;
        std::snprintf(line, sizeof line,
                      "%s\t%s\t%s\t%d\t%d\t%d%%\t%s\t%d\t%d\t%d%%\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t"
                      "%sg\t%d\xB0"
                      "C\t%dmR\t%sg\t%d\xB0"
                      "C\t%dmR\t%d%%\t"
                      "%d%%\t%d\t%d\t%d\t%d\t%s\t%d\t%d\t%d%%\r\n",
                      p.name.c_str(), owner, starbase, p.age, pop, uniform(-45, 100), p.owner >= 0 ? "Auto Build" : "",
                      uniform(0, 300), uniform(0, 400), uniform(0, 100), uniform(0, 5000), uniform(0, 5000),
                      uniform(0, 5000), uniform(0, 120), uniform(0, 120), uniform(0, 120), uniform(1, 100),
                      uniform(1, 100), uniform(1, 100), uniform(0, 2000), p.grav.c_str(), p.temp, p.rad, p.grav.c_str(),
                      tempOrig, p.rad, uniform(0, 30), uniform(0, 100), uniform(0, 300), uniform(0, 150),
                      uniform(0, 13), uniform(0, 13),
                      uniform(0, 9) == 0 ? planets[static_cast<size_t>(uniform(0, opt.planets - 1))].name.c_str() : "",
                      uniform(0, 1000), uniform(0, 800), uniform(0, 100));
        reportLines.emplace_back(line);
    }
    if (opt.shuffledReport) std::shuffle(reportLines.begin(), reportLines.end(), rng);
    report.reserve(static_cast<size_t>(opt.planets) * 200);
    for (const std::string& l : reportLines)
        report += l;
    writeFile(folder + std::string(kGalaxyGame) + ".p" + std::to_string(kGalaxyPlayer), report, files.totalBytes);

    // Export files: records of random planets with their ages, as the export dialog writes them.
    for (int f = 1; f <= opt.exportFiles; ++f) {
        std::string text;
        text.reserve(static_cast<size_t>(opt.exportRecords) * 80);
        for (int r = 0; r < opt.exportRecords; ++r) {
            const GenPlanet& p = planets[static_cast<size_t>(uniform(0, opt.planets - 1))];
            int owner = uniform(0, 3) == 0 ? -1 : uniform(0, 15);
            std::snprintf(line, sizeof line, "\"%s\",\"%s\",%d,%d,%d,%d,\"%s\",\"%s\",\"%d\",\"%d\"\r\n",
                          p.name.c_str(), owner >= 0 ? kRaces[owner] : "Uninhabited", uniform(0, 10),
                          owner >= 0 ? uniform(1, 1500) * 100 : 0, uniform(-45, 100), uniform(0, 100),
                          owner >= 0 && uniform(0, 2) == 0 ? "Orbital Fort" : "", p.grav.c_str(), p.temp, p.rad);
            text += line;
        }
        writeFile(folder + "export.p" + std::to_string(f), text, files.totalBytes);
    }
    return files;
}

} // namespace vornex::bench
