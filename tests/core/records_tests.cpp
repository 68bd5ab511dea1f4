#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "io/listformat.h"
#include "model/planet.h"
#include "model/player.h"

using namespace vornex;

TEST(PlayerExport, EmptyAndExampleRecords)
{
    EXPECT_EQ(Player{}.Export(), "\"\",\"\",\"\",0,0,0,0,0,0,0,0,0,0\r\n");
    Player p;
    p.PlayerName = "P";
    p.RaceName = "R";
    p.HomeWorld = "H";
    p.Colour = 255;
    p.GravMin = 1.5f;
    p.GravMax = 2.0f;
    EXPECT_EQ(p.Export(), "\"P\",\"R\",\"H\",255,1.5,2,0,0,0,0,0,0,0\r\n");
}

TEST(PlayerExport, MinimumBeforeMaximumAndRangeEnds)
{
    Player p;
    p.Colour = std::numeric_limits<int32_t>::min();
    p.GravMin = 0.12f;
    p.GravMax = 4.4f;
    p.TempMin = -32768;
    p.TempMax = 32767;
    p.RadMin = 1;
    p.RadMax = 2;
    p.GravTerra = 3;
    p.TempTerra = 4;
    p.RadTerra = -5;
    p.Number = 9; // never written
    EXPECT_EQ(p.Export(), "\"\",\"\",\"\",-2147483648,0.12,4.4,-32768,32767,1,2,3,4,-5\r\n");
    p.Colour = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(p.Export().substr(9, 10), "2147483647");
}

TEST(PlayerExport, RangesThatAreNoNumberStillGiveAReadableRecord)
{
    Player p;
    p.RaceName = "Vornexi";
    p.GravMin = std::nanf("");
    p.GravMax = std::numeric_limits<float>::infinity();
    auto items = readListLine(p.Export().substr(0, p.Export().size() - 2));
    ASSERT_EQ(items.size(), 13u);
    EXPECT_EQ(items[4].text, "0");
    EXPECT_EQ(items[5].text, "3.402823E+38");
}

TEST(PlanetExport, TenItemsInOrder)
{
    Planet p;
    p.PlanetName = "Alpha";
    p.ReportAge = -1;
    p.Owner = "Uninhabited";
    EXPECT_EQ(p.Export(), "\"Alpha\",\"Uninhabited\",-1,0,0,0,\"\",\"\",\"\",\"\"\r\n");
    p.Owner = "Vornexi";
    p.ReportAge = 32767;
    p.Population = std::numeric_limits<int32_t>::max();
    p.Value = -32768;
    p.Def = 40;
    p.StarbaseType = "Orbital Fort";
    p.Grav = "1.25";
    p.Temp = "-120";
    p.Rad = "not a number";
    p.Mines = 99; // not part of the record
    EXPECT_EQ(
        p.Export(),
        "\"Alpha\",\"Vornexi\",32767,2147483647,-32768,40,\"Orbital Fort\",\"1.25\",\"-120\",\"not a number\"\r\n");
}

TEST(PlanetExport, QuotesAndLineBreaksCannotBreakTheRecord)
{
    Planet p;
    p.PlanetName = "The \"Eye\", Prime";
    p.Owner = "Multi\r\nLine";
    p.StarbaseType = "\"";
    std::string line = p.Export();
    ASSERT_EQ(line.substr(line.size() - 2), "\r\n");
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2); // one line only
    auto items = readListLine(line.substr(0, line.size() - 2));
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[0].text, "The 'Eye', Prime");
    EXPECT_EQ(items[1].text, "Multi  Line");
    EXPECT_EQ(items[6].text, "'");
}

TEST(PlayerExport, FullStopWhateverTheLocale)
{
    // The Qt program takes over the user's locale at start; a German one must not write "1,5".
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    struct Restore {
        std::string locale;
        ~Restore() { std::setlocale(LC_ALL, locale.c_str()); }
    } restore{saved};
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8") &&
        !std::setlocale(LC_ALL, "German_Germany.1252"))
        GTEST_SKIP() << "the German locale de_DE.UTF-8 is not installed (make deps generates it)";
    Player p;
    p.GravMin = 1.5f;
    p.GravMax = 0.25f;
    EXPECT_EQ(p.Export(), "\"\",\"\",\"\",0,1.5,0.25,0,0,0,0,0,0,0\r\n");
}
