// The race editor: filling from a player, the change and focus-loss handlers, the race-name apply
// step with its save and reload, the colour chooser, and every refused input.
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "analysis/panel.h"
#include "app/programstate.h"
#include "io/interfaces.h"
#include "io/planetloader.h"
#include "io/tables.h"
#include "support/fakes.h"
#include "support/scratchfolder.h"
#include "ui/dialogs.h"
#include "ui/raceeditor.h"

using namespace vornex;
using vornex::ui::RaceEditor;

namespace {

// Records what the editor asks of its window; showRaceRanges keeps the bars of player YourNumber.
class FakeHost : public ui::RaceEditorHost {
public:
    explicit FakeHost(ProgramState& s) : state(s) {}
    ProgramState& state;
    std::vector<std::string> calls;
    RaceRanges bars;
    QStringList statuses;

    void showRaceRanges() override
    {
        calls.push_back("showRaceRanges");
        bars = computeRaceRanges(state.yourPlayer().get(), state.AllGravities);
    }
    void redrawMap() override { calls.push_back("redrawMap"); }
    void tablesReloaded() override { calls.push_back("tablesReloaded"); }
    void showStatus(const QString& text) override { statuses << text; }
    int count(const std::string& name) const { return int(std::count(calls.begin(), calls.end(), name)); }
};

std::string playerLine(int n, const std::string& race, const std::string& extra = "0.5,1.5,-80,80,30,70,1,2,3")
{
    return "\"Player " + std::to_string(n) + "\",\"" + race + "\",\"Home" + std::to_string(n) + "\"," +
           std::to_string(n * 1000) + "," + extra + "\r\n";
}

class RaceEditorTest : public ::testing::Test {
protected:
    test::ScratchFolder dir;
    ProgramState s;
    test::FakeSettings settings{{"Settings/YourNumber", "1"}};
    test::ScriptedPrompter prompter;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<RaceEditor> editor;
    QStringList messages;
    std::string originalPlayers;

    void SetUp() override
    {
        dir.write("gravity.csv", "0.25,-45\r\n0.5,-20\r\n0.75,-10\r\n1,0\r\n1.5,10\r\n1.75,15\r\n2,20\r\n4.4,40\r\n");
        std::string players;
        for (int n = 1; n <= 16; ++n) {
            if (n == 4)
                players += playerLine(4, "Fourth", "0.75,4.4,-60,100,20,80,7,8,9");
            else
                players += playerLine(n, "Race" + std::to_string(n));
        }
        dir.write("player.inf", players);
        originalPlayers = players;
        dir.write("game.map", "#\tX\tY\tName\r\n1\t1100\t2900\tAlpha\r\n2\t1400\t2500\tBeta\r\n");
        dir.write("game.p1", "Planet Name\tOwner\r\nAlpha\tRace1\r\n");
        s.game.folder = dir.folder();
        s.game.name = "game";
        s.game.player = playerNumberOf(1);
        s.view.PlanetSelected = 2;
        s.view.Zoom = 1234;
        Diagnostics diags;
        s.AllGravities = LoadGravities(s.game.folder, diags);
        s.AllPlayers = LoadPlayers(s.game.folder, diags);
        ASSERT_EQ(s.AllPlayers.Count(), 16);
        LoadPlanets(s.AllPlanets, s.game, diags);

        ui::dialogHooks().message = [this](const QString&, const QString& text) { messages << text; };
        ui::dialogHooks().colour = [](const QColor&) -> std::optional<QColor> {
            ADD_FAILURE() << "unexpected colour chooser";
            return std::nullopt;
        };
        host = std::make_unique<FakeHost>(s);
        editor = std::make_unique<RaceEditor>(s, settings, prompter, *host);
    }
    void TearDown() override
    {
        editor.reset();
        ui::dialogHooks() = ui::DialogHooks{};
    }

    template <typename T = QLineEdit> T* get(const char* name)
    {
        auto* w = editor->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QScrollBar* bar() { return get<QScrollBar>("playerNumberBar"); }
    void leave(const char* name)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(get(name), &out);
    }
    void commit(const char* name, const QString& text)
    {
        get(name)->setText(text);
        leave(name);
    }
    void clickColour()
    {
        QLabel* swatch = get<QLabel>("colourSwatch");
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, swatch->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, swatch->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(swatch, &press);
        QApplication::sendEvent(swatch, &release);
    }
    bool refused(const char* name)
    {
        return get(name)->property("refused").toBool() && !get(name)->toolTip().isEmpty();
    }
    bool saved() const { return std::filesystem::exists(dir.path("player.inf.bak")); }
    PlayerPtr player(int n) const { return s.AllPlayers.At(n); }
};

TEST_F(RaceEditorTest, ScrollBarFillsEveryBoxFromThePlayerInOrder)
{
    bar()->setValue(3);
    editor->setRaceNameChanged(false);
    bar()->setValue(4);

    EXPECT_EQ(get("txtPlayerNumber")->text(), "4");
    EXPECT_EQ(get("txtPlayerName")->text(), "Player 4");
    EXPECT_EQ(get("txtRaceName")->text(), "Fourth");
    EXPECT_EQ(get<QLabel>("colourSwatch")->palette().color(QPalette::Window), ui::colourFromBgr(4000));
    EXPECT_EQ(get("txtGravMin")->text(), "0.75");
    EXPECT_EQ(get("txtGravMax")->text(), "4.4");
    EXPECT_EQ(get("txtTempMin")->text(), "-60");
    EXPECT_EQ(get("txtTempMax")->text(), "100");
    EXPECT_EQ(get("txtRadMin")->text(), "20");
    EXPECT_EQ(get("txtRadMax")->text(), "80");
    EXPECT_EQ(get("txtGravTerra")->text(), "7");
    EXPECT_EQ(get("txtTempTerra")->text(), "8");
    EXPECT_EQ(get("txtRadTerra")->text(), "9");
    EXPECT_EQ(editor->title(), "Fourth");
    // Another race name came into the box: a race-name change is pending.
    EXPECT_TRUE(editor->raceNameChanged());
    // The limits have no change handler and the bars belong to player 1: nothing was redrawn.
    EXPECT_EQ(host->count("showRaceRanges"), 0);
    EXPECT_EQ(get<QTabWidget>("raceTabs")->tabText(get<QTabWidget>("raceTabs")->currentIndex()), "Habitability");

    // Typing a number works like the scroll bar, and the bar follows.
    get("txtPlayerNumber")->setText("2");
    EXPECT_EQ(get("txtRaceName")->text(), "Race2");
    EXPECT_EQ(bar()->value(), 2);
    // The chooser's caption shows whole beside its box.
    editor->show();
    QApplication::processEvents();
    auto* caption = get<QLabel>("lblPlayerNumber");
    EXPECT_GE(caption->width(), caption->fontMetrics().horizontalAdvance(caption->text()));
    EXPECT_LE(caption->geometry().right(), get("txtPlayerNumber")->geometry().left());
}

TEST_F(RaceEditorTest, TerraformStoresEveryKeystrokeAndRefusesNonNumbers)
{
    QLineEdit* box = get("txtTempTerra");
    box->clear(); // an empty text is no number: the player keeps 2
    EXPECT_EQ(player(1)->TempTerra, 2);
    EXPECT_TRUE(refused("txtTempTerra"));
    box->insert("1");
    EXPECT_EQ(player(1)->TempTerra, 1);
    EXPECT_FALSE(refused("txtTempTerra"));
    box->insert("2");
    EXPECT_EQ(player(1)->TempTerra, 12);
    box->setText("-");
    EXPECT_EQ(player(1)->TempTerra, 12);
    box->setText("12.5"); // halves go to the even neighbour
    EXPECT_EQ(player(1)->TempTerra, 12);
    box->setText("40000");
    EXPECT_EQ(player(1)->TempTerra, 12);
    EXPECT_TRUE(refused("txtTempTerra"));
    EXPECT_TRUE(host->statuses.last().contains("16 bits")) << host->statuses.last().toStdString();
}

TEST_F(RaceEditorTest, LimitIsStoredOnFocusLossAndRedrawsTheBarsOfYourRace)
{
    bar()->setValue(2);
    get("txtTempMin")->setText("-60");
    EXPECT_EQ(player(2)->TempMin, -80);
    EXPECT_EQ(host->count("showRaceRanges"), 0);

    leave("txtTempMin");
    EXPECT_EQ(player(2)->TempMin, -60);
    EXPECT_EQ(player(1)->TempMin, -80);
    EXPECT_EQ(host->count("showRaceRanges"), 1);
    // The bars redrawn are player 1's, untouched by the edit of player 2: -80 degrees, -20 clicks.
    ASSERT_TRUE(host->bars.temp);
    EXPECT_DOUBLE_EQ(host->bars.temp->first, -20.0);

    // Return commits too; a fraction goes to the even neighbour and the box shows what was kept.
    get("txtRadMax")->setText("72.5");
    emit get("txtRadMax")->returnPressed();
    EXPECT_EQ(player(2)->RadMax, 72);
    EXPECT_EQ(get("txtRadMax")->text(), "72");
}

TEST_F(RaceEditorTest, EditedRangesGiveTheDocumentedBars)
{
    commit("txtRadMin", "20");
    commit("txtRadMax", "80");
    commit("txtTempMax", "100");
    commit("txtTempMin", "-60");
    commit("txtGravMin", "0.75"); // click -10
    commit("txtGravMax", "1.75"); // click 15
    EXPECT_EQ(host->bars.rad, std::make_optional(std::make_pair(-30.0, 30.0)));
    EXPECT_EQ(host->bars.temp, std::make_optional(std::make_pair(-15.0, 25.0)));
    EXPECT_EQ(host->bars.grav, std::make_optional(std::make_pair(-10.0, 15.0)));

    commit("txtGravMin", "0.25"); // click -45 .. -20: drawn as stored
    commit("txtGravMax", "0.5");
    EXPECT_EQ(host->bars.grav, std::make_optional(std::make_pair(-45.0, -20.0)));
    EXPECT_FLOAT_EQ(player(1)->GravMin, 0.25f);
}

TEST_F(RaceEditorTest, RefusedLimitsLeavePlayerBarsAndFileAlone)
{
    struct Case {
        const char* box;
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {"txtTempMin", "", "not a number"},
        {"txtTempMin", "abc", "not a number"},
        {"txtTempMax", "40000", "16 bits"},
        {"txtRadMin", "-32769", "16 bits"},
        {"txtGravMin", "0.3", "no row"},
        {"txtGravMax", "heavy", "not a number"},
        {"txtRadMax", "10", "below the minimum"},   // RadMin is 30
        {"txtTempMin", "90", "above the maximum"},  // TempMax is 80
        {"txtGravMin", "2", "above the maximum"},   // GravMax 1.5 is click 10
        {"txtRadMin", "-32768", "cannot be drawn"}, // -32818 to 20 clicks leaves 16 bits
    };
    const Player before = *player(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " = \"" + c.text + "\"");
        const QString shown = get(c.box)->text();
        commit(c.box, c.text);
        EXPECT_TRUE(refused(c.box));
        EXPECT_TRUE(host->statuses.last().contains(c.why)) << host->statuses.last().toStdString();
        EXPECT_EQ(player(1)->Export(), before.Export());
        commit(c.box, shown); // a valid value clears the mark again
        EXPECT_FALSE(refused(c.box));
    }
    // Only the restoring commits drew the bars; the refused ones did not.
    EXPECT_EQ(host->count("showRaceRanges"), int(std::size(cases)));
    EXPECT_EQ(dir.read("player.inf"), originalPlayers);
    EXPECT_FALSE(saved());
}

TEST_F(RaceEditorTest, NumberNamingNoPlayerChangesNothing)
{
    bar()->setValue(4);
    const std::string players = playersFileBytes(s.AllPlayers);
    const char* boxes[] = {"txtPlayerName", "txtRaceName",  "txtGravMin", "txtGravMax", "txtGravTerra", "txtTempMin",
                           "txtTempMax",    "txtTempTerra", "txtRadMin",  "txtRadMax",  "txtRadTerra"};
    std::map<std::string, QString> texts;
    for (const char* b : boxes)
        texts[b] = get(b)->text();
    for (const char* number : {"0", "", "17", "x", "99999"}) {
        SCOPED_TRACE(number);
        get("txtPlayerNumber")->setText(number);
        for (const char* b : boxes)
            EXPECT_EQ(get(b)->text(), texts[b]) << b;
        EXPECT_TRUE(refused("txtPlayerNumber"));
        // Edits with no player behind the number go nowhere.
        get("txtTempTerra")->setText("5");
        commit("txtTempMin", "-10");
        get("txtTempTerra")->setText(texts["txtTempTerra"]);
        commit("txtTempMin", texts["txtTempMin"]);
        EXPECT_EQ(playersFileBytes(s.AllPlayers), players);
    }
    get("txtPlayerNumber")->setText(" 4abc"); // the leading number counts
    EXPECT_FALSE(refused("txtPlayerNumber"));
    EXPECT_EQ(get("txtRaceName")->text(), "Fourth");
}

TEST_F(RaceEditorTest, RaceNameThenColourSavesAndReloadsBeforeTheChooserOpens)
{
    get("txtPlayerName")->setText("Zed");
    get("txtRaceName")->setText("Newcomers");
    EXPECT_TRUE(editor->raceNameChanged());
    EXPECT_EQ(player(1)->RaceName, "Newcomers");
    EXPECT_EQ(player(1)->PlayerName, "Zed");

    bool reloadedFirst = false;
    ui::dialogHooks().colour = [&](const QColor& initial) -> std::optional<QColor> {
        Diagnostics diags;
        Players onDisk = LoadPlayers(s.game.folder, diags);
        reloadedFirst =
            onDisk.Find("Newcomers") && s.AllPlayers.Find("Newcomers") && host->count("tablesReloaded") == 1;
        EXPECT_EQ(initial, ui::colourFromBgr(1000));
        return QColor(255, 0, 0);
    };
    const size_t drawsBefore = host->calls.size();
    clickColour();
    EXPECT_TRUE(reloadedFirst);
    EXPECT_FALSE(editor->raceNameChanged());
    EXPECT_EQ(player(1)->Colour, 0x000000FF); // red in the low byte
    EXPECT_EQ(get<QLabel>("colourSwatch")->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(host->calls.back(), "redrawMap");
    EXPECT_GT(host->calls.size(), drawsBefore);
    // The selection and the view are kept through the reload.
    EXPECT_EQ(s.view.PlanetSelected, 2);
    EXPECT_EQ(s.view.Zoom, 1234);
    EXPECT_EQ(s.AllPlanets.Count(), 2);

    // The colour reaches player.inf with the next save.
    Diagnostics diags;
    EXPECT_EQ(LoadPlayers(s.game.folder, diags).At(1)->Colour, 1000);
    get("txtRaceName")->setText("Newcomers2");
    leave("txtRaceName");
    EXPECT_EQ(LoadPlayers(s.game.folder, diags).At(1)->Colour, 0x000000FF);
}

TEST_F(RaceEditorTest, CancelledColourChangesNothing)
{
    ui::dialogHooks().colour = [](const QColor&) -> std::optional<QColor> { return std::nullopt; };
    clickColour();
    EXPECT_EQ(player(1)->Colour, 1000);
    EXPECT_EQ(get<QLabel>("colourSwatch")->palette().color(QPalette::Window), ui::colourFromBgr(1000));
    EXPECT_EQ(host->count("redrawMap"), 0);
    EXPECT_FALSE(saved());
}

TEST_F(RaceEditorTest, LeavingTheRaceNameWithoutChangeDoesNothing)
{
    leave("txtRaceName");
    EXPECT_FALSE(saved());
    EXPECT_EQ(host->count("tablesReloaded"), 0);

    // Switching to another race's player marks a change: leaving the box then saves and reloads.
    bar()->setValue(5);
    leave("txtRaceName");
    EXPECT_TRUE(saved());
    EXPECT_EQ(host->count("tablesReloaded"), 1);
    EXPECT_FALSE(editor->raceNameChanged());
}

TEST_F(RaceEditorTest, RefusedRaceNamesAreRestoredAndNothingIsSaved)
{
    // A clash, a double quote, a character Windows-1252 has no form for.
    for (const char* name : {"race2", "RACE16", "Say \"hi\"",
                             "\xC5\x81\xC3\xB3"
                             "d\xC5\xBA"}) {
        SCOPED_TRACE(name);
        messages.clear();
        get("txtRaceName")->setText(name);
        EXPECT_TRUE(refused("txtRaceName"));
        EXPECT_EQ(player(1)->RaceName, "Race1");
        leave("txtRaceName");
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains("nothing is saved")) << messages[0].toStdString();
        EXPECT_EQ(get("txtRaceName")->text(), "Race1");
        EXPECT_FALSE(refused("txtRaceName"));
        EXPECT_FALSE(editor->raceNameChanged());
        EXPECT_EQ(player(1)->RaceName, "Race1");
    }
    EXPECT_FALSE(saved());
    EXPECT_EQ(dir.read("player.inf"), originalPlayers);
    EXPECT_EQ(host->count("tablesReloaded"), 0);

    // A name typed letter by letter through a clash keeps the last acceptable one in the record.
    get("txtRaceName")->setText("Race");
    get("txtRaceName")->setText("Race2");
    EXPECT_EQ(player(1)->RaceName, "Race");

    // A refused player name leaves the player alone too.
    get("txtPlayerName")->setText("A \"quoted\" name");
    EXPECT_TRUE(refused("txtPlayerName"));
    EXPECT_EQ(player(1)->PlayerName, "Player 1");
}

TEST_F(RaceEditorTest, EmptyRaceNameIsSavedWithoutKey)
{
    get("txtRaceName")->setText("");
    leave("txtRaceName");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(saved());
    ASSERT_EQ(s.AllPlayers.Count(), 16);
    EXPECT_EQ(player(1)->RaceName, "");
    EXPECT_EQ(player(1)->PlayerName, "Player 1");
}

TEST_F(RaceEditorTest, FailedSaveKeepsTheEditsAndThePendingChange)
{
    s.game.folder = dir.path("missing") + "/";
    get("txtRaceName")->setText("Newcomers");
    leave("txtRaceName");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("could not be saved")) << messages[0].toStdString();
    EXPECT_TRUE(editor->raceNameChanged());
    EXPECT_EQ(player(1)->RaceName, "Newcomers");
    EXPECT_EQ(host->count("tablesReloaded"), 0);

    // Once the folder is back, the next departure applies it.
    s.game.folder = dir.folder();
    leave("txtRaceName");
    EXPECT_FALSE(editor->raceNameChanged());
    Diagnostics diags;
    EXPECT_TRUE(LoadPlayers(s.game.folder, diags).Find("Newcomers"));
}

// A refused player name never leaves a fragment in the record: leaving the box, closing and a
// reload all put record and box back to the last accepted name.
TEST_F(RaceEditorTest, RefusedPlayerNameGoesBackToTheLastAcceptedOne)
{
    enum class Moment { Leave, Close, FailedSave, Reload };
    struct Case {
        Moment moment;
        const char* typed; // typed after "Player 1", keystroke by keystroke
    };
    const Case cases[] = {
        {Moment::Leave, " \"AV\""},
        {Moment::Close, " \"AV\""},
        {Moment::FailedSave, " \"AV\""},
        {Moment::Reload, " \"AV\""},
        {Moment::Leave, " \xE2\x82\xAC\xE2\x84\xA2\xC4\x8C"}, // the euro and trade mark signs fit, the C caron does not
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        messages.clear();
        QLineEdit* box = get("txtPlayerName");
        const QString typed = QString::fromUtf8(c.typed);
        for (qsizetype n = 1; n <= typed.size(); ++n)
            box->setText("Player 1" + typed.left(n));
        EXPECT_TRUE(refused("txtPlayerName"));
        EXPECT_EQ(player(1)->PlayerName, "Player 1");
        switch (c.moment) {
        case Moment::Leave:
            leave("txtPlayerName");
            ASSERT_EQ(messages.size(), 1);
            EXPECT_TRUE(messages[0].contains("nothing is saved")) << messages[0].toStdString();
            break;
        case Moment::Close:
            editor->commitPending();
            break;
        case Moment::FailedSave:
            s.game.folder = dir.path("missing") + "/";
            get("txtRaceName")->setText("Settlers");
            leave("txtRaceName");
            s.game.folder = dir.folder();
            ASSERT_EQ(messages.size(), 1);
            EXPECT_TRUE(messages[0].contains("could not be saved")) << messages[0].toStdString();
            break;
        case Moment::Reload:
            get("txtRaceName")->setText("Newcomers");
            leave("txtRaceName");
            EXPECT_EQ(host->count("tablesReloaded"), 1);
            break;
        }
        EXPECT_EQ(player(1)->PlayerName, "Player 1");
        EXPECT_EQ(box->text(), "Player 1");
        EXPECT_FALSE(refused("txtPlayerName"));
    }
    // Only the reload saved, and it saved the accepted name.
    EXPECT_TRUE(dir.read("player.inf").starts_with("\"Player 1\",\"Newcomers\","));

    // A name left accepted becomes the one to go back to.
    get("txtPlayerName")->setText("Aurelia Voss");
    leave("txtPlayerName");
    get("txtPlayerName")->setText("Aurelia Voss \"");
    leave("txtPlayerName");
    EXPECT_EQ(player(1)->PlayerName, "Aurelia Voss");
}

// A limit refused against its neighbour is tried again when the neighbour changes, so that the box
// never shows a value the record does not hold without saying so.
TEST_F(RaceEditorTest, RefusedLimitIsTriedAgainWhenItsNeighbourChanges)
{
    commit("txtRadMin", "90"); // RadMax is 70
    ASSERT_TRUE(refused("txtRadMin"));
    struct Case {
        const char* radMax;
        bool minRefused;
        int16_t storedMin;
    };
    const Case cases[] = {{"85", true, 30}, {"100", false, 90}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radMax);
        commit("txtRadMax", c.radMax);
        EXPECT_EQ(refused("txtRadMin"), c.minRefused);
        EXPECT_EQ(player(1)->RadMin, c.storedMin);
        EXPECT_EQ(get("txtRadMin")->text(), "90");
    }
    EXPECT_EQ(player(1)->RadMax, 100);
    ASSERT_TRUE(host->bars.rad);
    EXPECT_DOUBLE_EQ(host->bars.rad->first, 90 - 50.0);
}

// "&" in a race name is shown in the frame's caption as typed, not as a shortcut underline.
TEST_F(RaceEditorTest, FrameCaptionShowsAnAmpersandAsTyped)
{
    get("txtRaceName")->setText("Vorn & Co");
    leave("txtRaceName");
    EXPECT_EQ(player(1)->RaceName, "Vorn & Co");
    EXPECT_EQ(editor->title(), "Vorn && Co");
    bar()->setValue(2);
    bar()->setValue(1);
    EXPECT_EQ(editor->title(), "Vorn && Co");
}

} // namespace
