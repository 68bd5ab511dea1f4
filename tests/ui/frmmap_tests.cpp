// The map window: the load steps, the planet panel, toolbar modes, Find, the resize rule, the
// skipped-lines note and the unload order.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>

#include "galaxyfixture.h"
#include "io/interfaces.h"
#include "ui/dialogs.h"
#include "ui/frmmap.h"

using namespace vornex;
using namespace vornex::testing;
using vornex::ui::frmMap;
using vornex::ui::MapSurface;

namespace {

class MemoryStore : public SettingsStore {
public:
    std::vector<std::string> writes; // "section/key=value" in order
    bool playersFileBeforeFirstWrite = false;
    QString playersFile;
    std::string read(const std::string&, const std::string&, const std::string&, const std::string& def) const override
    {
        return def;
    }
    void write(const std::string&, const std::string& section, const std::string& key,
               const std::string& value) override
    {
        if (writes.empty()) playersFileBeforeFirstWrite = QFile::exists(playersFile);
        writes.push_back(section + "/" + key + "=" + value);
    }
};

class NoPrompter : public Prompter {
public:
    std::optional<std::string> ask(const std::string&, const std::string&) override { return std::nullopt; }
};

class FrmMapTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramState s;
    MemoryStore store;
    NoPrompter prompter;
    std::unique_ptr<frmMap> w;
    QStringList messages;
    std::vector<std::optional<QString>> answers;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        s.FileLocation = QDir(dir.path()).filePath("").toStdString();
        if (s.FileLocation.back() != '/') s.FileLocation += '/';
        store.playersFile = QDir(dir.path()).filePath("player.inf");
        s.AllGravities.Add("1")->Clicks = 0;
        s.AllGravities.Add("2")->Clicks = 20;
        PlayerPtr you = addPlayer(s, "Humans", 0x00FF0000);
        you->GravMin = 1;
        you->GravMax = 2;
        you->TempMin = -63;
        you->TempMax = 100;
        you->RadMin = 20;
        you->RadMax = 80;
        you->GravTerra = 3;
        you->TempTerra = 3;
        you->RadTerra = 3;
        addPlayer(s, "Others", 0x000000FF);

        PlanetPtr a = addPlanet(s, "Alpha", 100, 100, "Humans");
        a->Value = 45;
        a->Population = 12000;
        a->Scanner = 150;
        a->SurfaceBora = 1200;
        a->ConcentrationBora = 45;
        a->RateBora = 30;
        a->SurfaceIron = 4950;
        a->RateIron = 100;
        a->ConcentrationIron = 101;
        a->SurfaceGerm = 2500;
        a->Grav = "1";
        a->Temp = "15";
        a->Rad = "50";
        addPlanet(s, "Beta", 400, 300, "Uninhabited", -1);
        PlanetPtr g = addPlanet(s, "Gamma", 700, 700, "Uninhabited", 3);
        g->Value = 10;
        g->Population = 77;
        g->Grav = "7.77"; // no row in the gravity table
        g->Temp = "-120";
        g->Rad = "45";

        s.YourNumber = 1;
        s.Zoom = 2000;
        s.ClickOption = "Planets";
        s.PlanetSelected = 1;

        ui::dialogHooks().message = [this](const QString&, const QString& text) { messages << text; };
        ui::dialogHooks().input = [this](const QString&, const QString&) {
            auto a = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
    }
    void TearDown() override
    {
        w.reset();
        ui::dialogHooks() = ui::DialogHooks{};
    }
    void open()
    {
        w = std::make_unique<frmMap>(s, store, prompter);
        w->show();
        QApplication::processEvents();
    }
    QString text(const char* name) const
    {
        auto* e = w->findChild<QLineEdit*>(name);
        return e ? e->text() : QString("<no %1>").arg(name);
    }
    QRect box(const char* name) const
    {
        auto* l = w->findChild<QWidget*>(name);
        return l ? l->geometry() : QRect(-1, -1, -1, -1);
    }
    QAbstractButton* button(const char* name) const
    {
        auto* tb = w->findChild<QToolBar*>("Toolbar1");
        auto* a = w->findChild<QAction*>(name);
        return tb && a ? qobject_cast<QAbstractButton*>(tb->widgetForAction(a)) : nullptr;
    }
    View view() const { return View{s.Zoom, s.XStart, s.YStart}; }
};

} // namespace

TEST_F(FrmMapTest, LoadFillsThePanelForTheSelectedPlanet)
{
    open();
    EXPECT_EQ(w->windowTitle(), "Map");
    EXPECT_EQ(text("txtYourRace"), "Humans");
    EXPECT_EQ(text("txtPlanetName"), "Alpha Summary");
    EXPECT_EQ(text("txtXcord"), "100");
    EXPECT_EQ(text("txtYcord"), "100");
    EXPECT_EQ(text("txtPopulation"), "12000");
    EXPECT_EQ(text("txtPopulation1"), "Population: 12000");
    EXPECT_EQ(text("txtReportAge"), "Report is 0 years old");
    EXPECT_EQ(text("txtOwner"), "Humans");
    EXPECT_EQ(text("txtScanner"), "150(0)");
    EXPECT_EQ(text("txtSurfaceBora"), "1200");
    EXPECT_EQ(text("txtGrav"), "1g");
    EXPECT_EQ(text("txtTemp"), QString::fromUtf8("15\u00b0C"));
    EXPECT_EQ(text("txtRad"), "50mR");
    EXPECT_TRUE(text("txtValue").startsWith("Value: 45% (")) << text("txtValue").toStdString();
    EXPECT_TRUE(text("txtValue").endsWith("%)"));
    EXPECT_FALSE(text("txtHabitability").isEmpty());
    EXPECT_EQ(w->findChild<QLabel*>("lblBora")->toolTip(),
              "Boranium - Surface: 1200 - Concentration: 45 - Mining Rate: 30");
    EXPECT_TRUE(w->findChild<QLabel*>("lblIron")->toolTip().startsWith("Iron - Surface: 4950"));
    EXPECT_FALSE(w->findChild<QWidget*>("picUnknown")->isVisible());
    // Nothing on the window still shows a placeholder caption.
    for (auto* e : w->findChildren<QLineEdit*>())
        EXPECT_NE(e->text(), "Text1") << e->objectName().toStdString();
}

TEST_F(FrmMapTest, BarsAndMarkersStandWhereTheValuesSay)
{
    open();
    EXPECT_EQ(box("lblSurfaceBora").width(), 48);  // 1200 * 202 / 5000 = 48.48
    EXPECT_EQ(box("lblSurfaceGerm").width(), 101); // 2500
    EXPECT_EQ(box("lblSurfaceIron").width(), 200); // 199.98
    EXPECT_EQ(box("lblMiningIron").width(), 202);  // (4950 + 100) capped
    EXPECT_EQ(box("lblSurfaceIron").topLeft(), QPoint(75, 451));
    EXPECT_EQ(box("lblConcBora").x(), 156); // 2 * 45 + 66
    EXPECT_EQ(box("lblConcGerm").x(), 66);
    EXPECT_EQ(box("lblConcIron").x(), 268); // capped at 202 + 66
    EXPECT_EQ(box("lblGrav").x(), 172);     // 0 clicks
    EXPECT_EQ(box("lblTemp").x(), 180);     // 179.5, half to even
    EXPECT_EQ(box("lblRad").x(), 172);
    EXPECT_EQ(box("lblGrav").size(), QSize(7, 13));
    // Your race's ranges: gravity 0..20 clicks, temperature -63..100, radiation 20..80.
    EXPECT_EQ(box("lblRaceGrav"), QRect(175, 390, 40, 13));
    EXPECT_EQ(box("lblRaceTemp"), QRect(144, 408, 82, 13)); // 143.5 wide 81.5
    EXPECT_EQ(box("lblRaceRad"), QRect(115, 426, 120, 13));
    EXPECT_TRUE(w->findChild<QWidget*>("lblTerraGrav")->isVisible());
}

TEST_F(FrmMapTest, MissingGravityRowLeavesTheMarkerAndRatesZero)
{
    open();
    w->PlanetInfo(700, 700);
    EXPECT_EQ(s.PlanetSelected, 3);
    EXPECT_EQ(text("txtHabitability"), "0");
    EXPECT_EQ(text("txtValue"), "Value: 10% (0%)");
    EXPECT_EQ(box("lblGrav").x(), 172) << "stays where Alpha put it";
    EXPECT_EQ(box("lblTemp").x(), 112); // (-120 + 200) / 2 + 72
    EXPECT_EQ(text("txtTemp"), QString::fromUtf8("-120\u00b0C"));
}

TEST_F(FrmMapTest, UnreportedPlanetShowsTheCoverAndChangesOnlyTitleAndCoordinates)
{
    open();
    const QString tip = w->findChild<QLabel*>("lblBora")->toolTip();
    w->PlanetInfo(400 + 50, 300 + 49); // 99 away
    EXPECT_EQ(s.PlanetSelected, 2);
    EXPECT_TRUE(w->findChild<QWidget*>("picUnknown")->isVisible());
    EXPECT_EQ(text("txtPlanetName"), "Beta Summary");
    EXPECT_EQ(text("txtXcord"), "400");
    EXPECT_EQ(text("txtYcord"), "300");
    EXPECT_EQ(text("txtPopulation"), "12000");
    EXPECT_EQ(text("txtOwner"), "Humans");
    EXPECT_EQ(w->findChild<QLabel*>("lblBora")->toolTip(), tip);
    // A point 100 away from every planet keeps the selection and shows it again.
    w->PlanetInfo(400 + 50, 300 + 50);
    EXPECT_EQ(s.PlanetSelected, 2);
    w->PlanetInfo(100, 100);
    EXPECT_FALSE(w->findChild<QWidget*>("picUnknown")->isVisible());
}

TEST_F(FrmMapTest, LeftClickInPlanetsModeSelectsAndRingsThePlanet)
{
    open();
    MapSurface* pic = w->pic();
    // Map point of Gamma in widget pixels.
    const QPointF at = pic->widgetPoint(QPointF(700, 700));
    QMouseEvent press(QEvent::MouseButtonPress, at, pic->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pic, &press);
    EXPECT_EQ(s.PlanetSelected, 3);
    EXPECT_EQ(text("txtPlanetName"), "Gamma Summary");
    EXPECT_EQ(view(), (View{2000, 0, 0}));
}

TEST_F(FrmMapTest, ToolbarShowsTheRestoredModeAndModesDoNotMoveTheView)
{
    s.ClickOption = "Move";
    open();
    EXPECT_TRUE(button("Move")->isChecked());
    EXPECT_FALSE(button("Planets")->isChecked());
    button("Zoom In")->click();
    EXPECT_EQ(s.ClickOption, "Zoom In");
    EXPECT_TRUE(button("Zoom In")->isChecked());
    EXPECT_FALSE(button("Move")->isChecked());
    EXPECT_EQ(view(), (View{2000, 0, 0}));
    s.Zoom = 500;
    s.XStart = 7;
    button("Reset")->click();
    EXPECT_EQ(view(), (View{2000, 0, 0}));
}

TEST_F(FrmMapTest, NamesTwiceReturnsToTheDrawingWithoutNames)
{
    open();
    const QImage before = w->pic()->image().copy();
    button("Names")->click();
    EXPECT_TRUE(w->namesShown());
    EXPECT_NE(w->pic()->image(), before);
    button("Names")->click();
    EXPECT_FALSE(w->namesShown());
    EXPECT_EQ(w->pic()->image(), before);
}

TEST_F(FrmMapTest, FindCentresAndSelectsOnlyAnExactName)
{
    open();
    s.Zoom = 500;
    answers = {QString("Gamma"), QString("Gamma")};
    w->Find();
    EXPECT_EQ(view(), (View{500, 450, 450}));
    EXPECT_EQ(s.PlanetSelected, 3);
    EXPECT_EQ(text("txtPlanetName"), "Gamma Summary");
    w->Find();
    EXPECT_EQ(view(), (View{500, 450, 450}));
    EXPECT_TRUE(messages.isEmpty());

    for (auto typed : {std::optional<QString>("gamma"), std::optional<QString>(" Gamma"), std::optional<QString>()}) {
        messages.clear();
        answers = {typed};
        w->Find();
        EXPECT_EQ(messages, QStringList{"Not Found"});
        EXPECT_EQ(view(), (View{500, 450, 450}));
        EXPECT_EQ(s.PlanetSelected, 3);
    }
}

TEST_F(FrmMapTest, MapFollowsTheWindowDownToTenPixels)
{
    open();
    w->resize(900, 760);
    QApplication::processEvents();
    EXPECT_EQ(w->pic()->width(), w->frameGeometry().width() - 337);
    EXPECT_EQ(w->pic()->geometry().topLeft(), QPoint(327, 40));
    EXPECT_LE(w->pic()->geometry().bottom(), w->centralWidget()->height()) << "the map stops above the status bar";
    w->resize(340, 300);
    QApplication::processEvents();
    ASSERT_LT(w->frameGeometry().width(), 347);
    EXPECT_EQ(w->pic()->width(), 10);
    EXPECT_EQ(w->pic()->image().width(), qRound(10 * w->pic()->devicePixelRatioF()));
}

TEST_F(FrmMapTest, SkippedLinesAreNotedAndListed)
{
    s.diagnostics.push_back({"/games/game.map", 3, "the x coordinate is not a number"});
    s.diagnostics.push_back({"/games/player.inf", 0, "missing"});
    open();
    auto* note = w->findChild<QPushButton*>("cmdLoadNotes");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().startsWith("2 lines")) << note->text().toStdString();
    note->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("/games/game.map:3: the x coordinate is not a number"));
    EXPECT_TRUE(messages[0].contains("/games/player.inf"));
}

TEST_F(FrmMapTest, UnloadWritesThePlayersTableBeforeTheSettings)
{
    open();
    s.Zoom = 1000;
    w->close();
    EXPECT_TRUE(QFile::exists(store.playersFile));
    EXPECT_TRUE(store.playersFileBeforeFirstWrite);
    EXPECT_NE(std::find(store.writes.begin(), store.writes.end(), "Display/Zoom=1000"), store.writes.end());
    EXPECT_EQ(s.AllPlanets.Count(), 0);
    EXPECT_EQ(s.AllPlayers.Count(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FrmMapTest, FailedPlayersSaveIsShownAndSettingsAreStillWritten)
{
    s.FileLocation = QDir(dir.path()).filePath("no/such/folder/").toStdString();
    open();
    w->close();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("players table")) << messages[0].toStdString();
    EXPECT_FALSE(store.writes.empty());
}

TEST_F(FrmMapTest, ClosingKeepsWhatWasTypedLastInTheRaceEditor)
{
    open();
    QApplication::setActiveWindow(w.get());
    // A limit still in its box (closing never takes the focus from it) is saved.
    auto* radMax = w->findChild<QLineEdit*>("txtRadMax");
    ASSERT_NE(radMax, nullptr);
    radMax->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), radMax);
    radMax->setText("50");
    // A race name typed up to a name another player has is refused: the saved name stays.
    auto* race = w->findChild<QLineEdit*>("txtRaceName");
    ASSERT_NE(race, nullptr);
    race->setText("Other");
    race->setText("Others");
    w->close();

    QFile f(store.playersFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("\"Humans player\",\"Humans\",")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(",20,50,")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("\"Others player\",\"Others\",")) << lines[1].toStdString();
}
