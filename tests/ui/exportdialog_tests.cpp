// The export dialog: captions from the players, the records written for each selection, the file's
// encoding and line ends, failures, and the merge of the file by another copy of the program.
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/programstate.h"
#include "io/interfaces.h"
#include "io/planetloader.h"
#include "support/fakes.h"
#include "support/galaxyfixture.h"
#include "support/scratchfolder.h"
#include "ui/dialogs.h"
#include "ui/exportdialog.h"

using namespace vornex;
using namespace vornex::testing;
using vornex::ui::ExportDialog;

namespace {

class ExportDialogTest : public ::testing::Test {
protected:
    test::ScratchFolder dir;
    ProgramState s;
    QStringList messages;
    QPointer<ExportDialog> dialog;

    void SetUp() override
    {
        s.FileLocation = dir.folder();
        s.YourNumber = 3;
        addPlayer(s, "Humanoid", 0xFF);
        addPlayer(s, "Insectoid", 0xFF00);
        addPlayer(s, "R&D", 0xFF0000);
        for (int n = 4; n <= 16; ++n)
            addPlayer(s, "Race" + std::to_string(n), 0);

        auto setRecord = [](PlanetPtr p, int16_t age, int32_t pop, const char* grav) {
            p->ReportAge = age;
            p->Population = pop;
            p->Value = 50;
            p->Def = 10;
            p->StarbaseType = "Dock";
            p->Grav = grav;
            p->Temp = "-20";
            p->Rad = "50";
        };
        setRecord(addPlanet(s, "Empty One", 10, 10, "Uninhabited", 2), 2, 0, "1");
        setRecord(addPlanet(s, "Alpha", 20, 20, "Insectoid"), 0, 5000, "1.5");
        setRecord(addPlanet(s, "Never Seen", 30, 30, "Uninhabited", -1), -1, 0, "");
        setRecord(addPlanet(s, "Façade", 40, 40, "Humanoid"), 1, 700, "0.5");
        setRecord(addPlanet(s, "Stranger", 50, 50, "Outsiders"), 0, 100, "1");
        setRecord(addPlanet(s, "Far, Away", 60, 60, "Uninhabited", 4), 4, 0, "2");

        ui::dialogHooks().message = [this](const QString&, const QString& text) { messages << text; };
        dialog = new ExportDialog(s);
    }
    void TearDown() override
    {
        delete dialog.data();
        ui::dialogHooks() = ui::DialogHooks{};
    }

    // The box of player n (1..16).
    QCheckBox* raceBox(int n) { return dialog->findChild<QCheckBox*>(QStringLiteral("chkRace%1").arg(n)); }
    QCheckBox* uninhabitedBox() { return dialog->findChild<QCheckBox*>(QStringLiteral("chkUninhabited")); }
    void exportNow()
    {
        auto* button = dialog->findChild<QPushButton*>("cmdExport");
        ASSERT_NE(button, nullptr);
        button->click();
    }
    std::string file() const { return dir.read("export.p3"); }
    // The line under the boxes that tells what the last export did.
    QLabel* result() { return dialog->findChild<QLabel*>("lblExportResult"); }
};

TEST_F(ExportDialogTest, LayoutCarriesTheRaceNames)
{
    EXPECT_EQ(dialog->windowTitle(), "Export Information");
    for (int n = 1; n <= 16; ++n)
        ASSERT_NE(raceBox(n), nullptr) << n;
    ASSERT_NE(uninhabitedBox(), nullptr);
    EXPECT_EQ(raceBox(1)->text(), "Humanoid");
    EXPECT_EQ(raceBox(3)->text(), "R&&D"); // shown as "R&D", not as a shortcut on D
    EXPECT_EQ(raceBox(16)->text(), "Race16");
    // Players 1 to 8 down the left column, 9 to 16 beside them.
    EXPECT_EQ(raceBox(9)->y(), raceBox(1)->y());
    EXPECT_GT(raceBox(9)->x(), raceBox(1)->geometry().right());
    EXPECT_GT(raceBox(8)->y(), raceBox(7)->geometry().bottom());
    EXPECT_EQ(uninhabitedBox()->text(), "Uninhabited");
    EXPECT_TRUE(uninhabitedBox()->isChecked());
    for (int n = 1; n <= 16; ++n)
        EXPECT_FALSE(raceBox(n)->isChecked());
    EXPECT_FALSE(dialog->isModal());
}

TEST_F(ExportDialogTest, SlotWithoutRaceNameCannotBeChosen)
{
    delete dialog.data();
    s.AllPlayers.At(5)->RaceName.clear();
    s.AllPlanets.Item("Stranger")->Owner.clear();
    dialog = new ExportDialog(s);
    EXPECT_FALSE(raceBox(5)->isEnabled());
    raceBox(5)->setChecked(true);
    uninhabitedBox()->setChecked(false);
    exportNow();
    EXPECT_EQ(file(), "");
}

TEST_F(ExportDialogTest, NothingCheckedWritesAnEmptyFile)
{
    uninhabitedBox()->setChecked(false);
    exportNow();
    EXPECT_TRUE(std::filesystem::exists(dir.path("export.p3")));
    EXPECT_EQ(file(), "");
    // Success shows in the dialog itself, with no box to dismiss.
    EXPECT_TRUE(messages.isEmpty());
    ASSERT_NE(result(), nullptr);
    EXPECT_TRUE(result()->text().startsWith("0 planet records")) << result()->text().toStdString();
    EXPECT_TRUE(result()->text().contains("export.p3"));
    EXPECT_EQ(result()->toolTip(), QString::fromStdString(dir.path("export.p3")));
    EXPECT_LE(result()->geometry().bottom(), dialog->height());
    EXPECT_GT(result()->y(), uninhabitedBox()->geometry().bottom());
}

TEST_F(ExportDialogTest, UninhabitedOnlyTakesReportedPlanetsInOrder)
{
    exportNow();
    EXPECT_EQ(file(), "\"Empty One\",\"Uninhabited\",2,0,50,10,\"Dock\",\"1\",\"-20\",\"50\"\r\n"
                      "\"Far, Away\",\"Uninhabited\",4,0,50,10,\"Dock\",\"2\",\"-20\",\"50\"\r\n");
    EXPECT_TRUE(result()->text().startsWith("2 planet records")) << result()->text().toStdString();
}

TEST_F(ExportDialogTest, RaceRecordsComeFirstInWindows1252AndExportingAgainReplaces)
{
    raceBox(1)->setChecked(true);
    raceBox(2)->setChecked(true);
    exportNow();
    EXPECT_EQ(file(), "\"Alpha\",\"Insectoid\",0,5000,50,10,\"Dock\",\"1.5\",\"-20\",\"50\"\r\n"
                      "\"Fa\xE7"
                      "ade\",\"Humanoid\",1,700,50,10,\"Dock\",\"0.5\",\"-20\",\"50\"\r\n"
                      "\"Empty One\",\"Uninhabited\",2,0,50,10,\"Dock\",\"1\",\"-20\",\"50\"\r\n"
                      "\"Far, Away\",\"Uninhabited\",4,0,50,10,\"Dock\",\"2\",\"-20\",\"50\"\r\n");
    EXPECT_EQ(file().find("Stranger"), std::string::npos);

    raceBox(1)->setChecked(false);
    uninhabitedBox()->setChecked(false);
    exportNow();
    EXPECT_EQ(file(), "\"Alpha\",\"Insectoid\",0,5000,50,10,\"Dock\",\"1.5\",\"-20\",\"50\"\r\n");
    EXPECT_TRUE(result()->text().startsWith("1 planet record written")) << result()->text().toStdString();
    EXPECT_TRUE(messages.isEmpty());
    // The dialog stays open with the boxes as the user left them.
    EXPECT_TRUE(raceBox(2)->isChecked());
}

TEST_F(ExportDialogTest, FailedWriteIsReportedAndKeepsTheEarlierFile)
{
    // A folder in the way of the file: the write cannot replace it.
    exportNow(); // a success first: its line must not stay beside a failure
    ASSERT_FALSE(result()->text().isEmpty());
    std::filesystem::remove(dir.path("export.p3"));
    std::filesystem::create_directory(dir.path("export.p3"));
    dir.write("export.p3/keep", "earlier");
    exportNow();
    EXPECT_TRUE(result()->text().isEmpty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("could not be written")) << messages[0].toStdString();
    EXPECT_EQ(dir.read("export.p3/keep"), "earlier");

    messages.clear();
    s.FileLocation = dir.path("no such folder") + "/";
    exportNow();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("could not be written")) << messages[0].toStdString();
}

// A planet name with a double quote is written with an apostrophe, so other copies find no such
// planet: the dialog counts those records and says why. Never-reported planets are not written and
// so not counted.
TEST_F(ExportDialogTest, RecordsOtherCopiesCannotUseAreCountedAndExplained)
{
    addPlanet(s, "Say \"Hi\"", 70, 70, "Insectoid", 1);
    addPlanet(s, "\"Quoted\" Rock", 80, 80, "Uninhabited", 2);
    addPlanet(s, "\"Unseen\"", 90, 90, "Uninhabited", -1);
    addPlanet(s, "\"Theirs\"", 95, 95, "Humanoid", 1);
    struct Case {
        bool insectoid, uninhabited;
        const char* expected; // "" when every record is usable
    };
    const Case cases[] = {
        {true, true, "2 of them other copies cannot use"},
        {true, false, "1 of them other copies cannot use"},
        {false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        raceBox(2)->setChecked(c.insectoid);
        uninhabitedBox()->setChecked(c.uninhabited);
        exportNow();
        const QString text = result()->text();
        if (*c.expected) {
            EXPECT_TRUE(text.contains(c.expected)) << text.toStdString();
            EXPECT_TRUE(text.contains("double quote")) << text.toStdString();
            EXPECT_TRUE(text.contains("Say \"Hi\"")) << text.toStdString();
            EXPECT_FALSE(text.contains("Unseen")) << text.toStdString();
            // The dialog grows to show the whole text.
            EXPECT_GE(result()->height(), result()->heightForWidth(result()->width()));
            EXPECT_LE(result()->geometry().bottom(), dialog->height());
        } else {
            EXPECT_FALSE(text.contains("cannot use")) << text.toStdString();
        }
    }
    EXPECT_TRUE(messages.isEmpty());
}

// One game folder exports; a second copy of the program, in another folder, merges that file when
// it loads its planets: the newer record wins, the older one does not.
TEST_F(ExportDialogTest, ExportIsMergedByAnotherCopyAtItsNextStart)
{
    test::ScratchFolder other;
    other.write("game.map", "#\tX\tY\tName\r\n1\t1100\t2900\tAlpha\r\n2\t1400\t2500\tFar, Away\r\n"
                            "3\t1500\t2000\tFa\xE7"
                            "ade\r\n");
    // Player 2's own report: Alpha seen 3 years ago, the other two never.
    other.write("game.p2",
                "Planet Name\tOwner\tStarbase\tReport Age\tPopulation\tValue\tProduction Queue\tMines\tFactories\t"
                "Def %\tSurface Ironium\tSurface Boranium\tSurface Germanium\tIronium Mining Rate\t"
                "Boranium Mining Rate\tGermanium Mining Rate\tIronium Concentration\tBoranium Concentration\t"
                "Germanium Concentration\tResources\tGravity\tTemperature\tRadiation\tOrig Gravity\t"
                "Orig Temperature\tOrig Radiation\tTerraform %\r\n"
                "Alpha\tInsectoid\t\t3\t1\t80%\t\t0\t0\t0%\t100\t100\t100\t0\t0\t0\t50\t50\t50\t0\t1g\t"
                "0\xB0"
                "C\t50mR\t1g\t0\xB0"
                "C\t50mR\t0%\r\n");
    s.AllPlanets.Item("Alpha")->ReportAge = 1; // newer than the other copy's 3 years
    raceBox(1)->setChecked(true);
    raceBox(2)->setChecked(true);
    exportNow();
    ASSERT_TRUE(messages.isEmpty());
    other.write("export.p3", file());

    Map planets;
    Diagnostics diags;
    test::FakeSettings settings{{"Settings/YourNumber", "2"}};
    test::ScriptedPrompter prompter;
    ASSERT_EQ(LoadPlanets(planets, other.folder(), "game", settings, prompter, diags), LoadOutcome::Loaded);
    ASSERT_EQ(planets.Count(), 3);
    EXPECT_EQ(planets.Item("Alpha")->Population, 5000);
    EXPECT_EQ(planets.Item("Alpha")->ReportAge, 1);
    EXPECT_EQ(planets.Item("Far, Away")->Owner, "Uninhabited"); // the comma did not split the name
    EXPECT_EQ(planets.Item("Far, Away")->Grav, "2");
    EXPECT_EQ(planets.Item("Façade")->Population, 700);

    // An older export does not overwrite newer knowledge.
    s.AllPlanets.Item("Alpha")->ReportAge = 5;
    s.AllPlanets.Item("Alpha")->Population = 1;
    exportNow();
    other.write("export.p3", file());
    Map again;
    ASSERT_EQ(LoadPlanets(again, other.folder(), "game", settings, prompter, diags), LoadOutcome::Loaded);
    EXPECT_EQ(again.Item("Alpha")->Population, 1); // player 2's own 3-year-old report stays
    EXPECT_EQ(again.Item("Alpha")->ReportAge, 3);
}

} // namespace
