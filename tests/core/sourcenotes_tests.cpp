// Where each planet's figures come from, and the player's notes in the planet table: shown in the
// window's columns and searched by its filter, kept out of every file the program writes.
#include <gtest/gtest.h>

#include "analysis/planettable.h"
#include "analysis/tabletext.h"
#include "io/memorysettings.h"
#include "io/planetloader.h"
#include "io/settingstable.h"

namespace vornex {
namespace {

Map demo()
{
    Map planets;
    Diagnostics diags;
    LoadPlanets(planets, Game{VORNEX_DEMO_DIR, "game", playerNumberOf(1)}, diags);
    return planets;
}

TEST(PlanetSource, ReportExportFileOrMapAlone)
{
    const Map planets = demo();
    EXPECT_EQ(planets.Item("Solmor")->SourceText(), "report");
    EXPECT_EQ(planets.ByID(4)->SourceText(), "export.p2"); // Façade: export.p2's record is newer
    int mapOnly = 0;
    for (const auto& p : planets)
        if (p->ReportAge == -1) {
            EXPECT_EQ(p->SourceText(), "map") << p->PlanetName;
            ++mapOnly;
        }
    EXPECT_GT(mapOnly, 0);

    // A record merged from a file that is not named export.pN carries no number.
    Map merged = demo();
    Diagnostics diags;
    MergeExportFile(merged, "\"Gorzanris\",\"Oran\",0,100,10,0,\"\",\"1\",\"0\",\"50\"\r\n", "team.txt", diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(merged.Item("Gorzanris")->SourceText(), "export.p0");
}

TEST(PlanetNotes, ShownAndSearchedInTheWindowNeverWritten)
{
    Map planets = demo();
    planets.Item("Solmor")->Note = "Minefield near the Gate";
    const auto rows = planetRows(planets, nullptr, Gravities());
    const auto solmor = std::find_if(rows.begin(), rows.end(), [](const PlanetRow& r) { return r.name == "Solmor"; });
    ASSERT_NE(solmor, rows.end());
    EXPECT_EQ(fileText(planetColumn(PlanetColumnId::Notes), *solmor), "Minefield near the Gate");
    EXPECT_EQ(fileText(planetColumn(PlanetColumnId::Source), *solmor), "report");

    PlanetFilter byNote;
    byNote.nameContains = "GATE";
    std::vector<std::string> found;
    for (const auto& r : rows)
        if (acceptsRow(byNote, r)) found.push_back(r.name);
    EXPECT_EQ(found, std::vector<std::string>{"Solmor"});

    for (bool distance : {false, true})
        for (bool nearOwn : {false, true})
            for (const PlanetColumn* c : fileColumns(distance, nearOwn))
                EXPECT_TRUE(c->id != PlanetColumnId::Notes && c->id != PlanetColumnId::Source) << c->key;
    for (TableFormat f : {TableFormat::Tsv, TableFormat::Csv, TableFormat::Json})
        EXPECT_EQ(writePlanetTable(rows, fileColumns(true, true), f).find("Minefield"), std::string::npos);
    EXPECT_EQ(planets.Item("Solmor")->Export().find("Minefield"), std::string::npos);
}

} // namespace
} // namespace vornex
