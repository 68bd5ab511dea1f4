// Planning the next move: your worlds' ranges, the ship's ring, the legend and the races, the
// Planets dock's nearest own world and colony targets, Find with completion, and files saved as
// asked.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QImageWriter>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "analysis/planettable.h"
#include "app/gamechoice.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "support/demowindow.h"
#include "support/galaxyfixture.h"
#include "ui/dialogs.h"
#include "ui/findplanetdialog.h"
#include "ui/legendlayer.h"
#include "ui/maprenderer.h"
#include "ui/mapwindow.h"
#include "ui/planetsdock.h"
#include "ui/planetsfilter.h"
#include "ui/planetstablemodel.h"
#include "ui/racesdock.h"
#include "ui/rangeslayer.h"
#include "ui/savedfiles.h"

using namespace vornex;
using namespace vornex::ui;
using vornex::testing::readAll;

namespace {

QImage draw(MapRenderer& renderer, const ProgramState& s)
{
    QImage image(QSize(400, 400), QImage::Format_RGB32);
    renderer.render(image, QSizeF(400, 400), s, false);
    return image;
}

int maxDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// The window on a copy of the demo galaxy, player 1 (Vornexi).
class Planning : public vornex::testing::DemoWindow {
protected:
    void SetUp() override { openDemo(); }
    const PlanetRow& shownRow(int i) const
    {
        return model()->planetRow(dock()->filter()->mapToSource(dock()->filter()->index(i, 0)).row());
    }
};

} // namespace

TEST(MapPlanningLayers, RangesMergeInsteadOfStackingAndDragsKeepThem)
{
    ProgramState s;
    vornex::testing::addPlayer(s, "Ours", 0x0000FF00);
    s.game.player = playerNumberOf(1);
    PlanetPtr a = vornex::testing::addPlanet(s, "A", 100, 100, "Ours");
    a->Scanner = 60;
    a->Penetration = 20;
    PlanetPtr b = vornex::testing::addPlanet(s, "B", 150, 100, "Ours");
    b->Scanner = 60;
    vornex::testing::addPlanet(s, "Theirs", 300, 300, "Uninhabited")->Scanner = 90; // not yours: no range
    s.view.Zoom = 400;
    s.view.PlanetSelected = 3;
    MapRenderer renderer;
    auto ranges = std::make_unique<RangesLayer>();
    ranges->setShown(true);
    renderer.add(std::move(ranges));
    auto ringLayer = std::make_unique<RangeRingLayer>();
    RangeRingLayer* ring = ringLayer.get();
    renderer.add(std::move(ringLayer));
    const QImage image = draw(renderer, s);

    const QColor one = image.pixelColor(100, 140);  // A's scanner range only
    const QColor both = image.pixelColor(125, 120); // A's and B's
    const QColor deep = image.pixelColor(110, 104); // A's penetrating range
    EXPECT_NE(one, QColor(Qt::black));
    EXPECT_EQ(both, one) << "overlapping ranges show one tint";
    EXPECT_GT(deep.blue(), one.blue()) << "the penetrating range is darker";
    EXPECT_EQ(image.pixelColor(100, 200), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(300, 350), QColor(Qt::black)) << "another race's planet has no range drawn";

    // A drag moves the kept picture and paints the strips: the same as a fresh drawing.
    for (const auto& step : {std::pair{3, 0}, {0, -2}, {-7, 5}, {40, 11}}) {
        s.view.XStart = int16_t(s.view.XStart + step.first);
        s.view.YStart = int16_t(s.view.YStart + step.second);
        MapRenderer fresh;
        auto shown = std::make_unique<RangesLayer>();
        shown->setShown(true);
        fresh.add(std::move(shown));
        fresh.add(std::make_unique<RangeRingLayer>());
        EXPECT_LE(maxDifference(draw(renderer, s), draw(fresh, s)), 2) << step.first << ", " << step.second;
    }

    // The ring: around the selected planet at the typed radius, none at 0.
    s.view.XStart = s.view.YStart = 0;
    auto ringPixels = [&] {
        const QImage drawn = draw(renderer, s);
        int n = 0;
        for (int k = 0; k < 360; ++k) {
            const QColor c = drawn.pixelColor(int(std::lround(300 + 50 * std::cos(k * M_PI / 180))),
                                              int(std::lround(300 + 50 * std::sin(k * M_PI / 180))));
            n += c.red() > 150 && c.green() > 120;
        }
        return n;
    };
    EXPECT_EQ(ringPixels(), 0);
    ring->setRadius(50);
    EXPECT_GT(ringPixels(), 60);
}

TEST_F(Planning, LegendRacesAndTheMapImageWithTitleAndLegend)
{
    const auto entries = LegendLayer::entries(s);
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries.front().text, QString::fromStdString(s.yourPlayer()->RaceName) + " (you)");
    EXPECT_EQ(entries.back().text, "Not reported");

    auto* races = w->racesDock()->findChild<QTableWidget*>("tblRaces");
    ASSERT_NE(races, nullptr);
    EXPECT_EQ(races->item(0, 0)->text(), QString::fromStdString(s.yourPlayer()->RaceName));
    int owned = 0;
    for (const auto& p : s.AllPlanets)
        owned += p->Owner == s.yourPlayer()->RaceName;
    EXPECT_EQ(races->item(0, 2)->text(), QString::number(owned));
    // A planet changing hands shows at the next refresh of the tables.
    for (const auto& p : s.AllPlanets)
        if (p->Owner == "Uninhabited") {
            p->Owner = s.yourPlayer()->RaceName;
            break;
        }
    w->showRaceRanges();
    EXPECT_EQ(races->item(0, 2)->text(), QString::number(owned + 1));
    EXPECT_TRUE(w->findChild<QAction*>("ShowRaces")->shortcut() != QKeySequence());
    EXPECT_TRUE(w->findChild<QAction*>("ShowPlanets")->shortcut() != QKeySequence());

    // Without the title and the legend the image is the map as shown; the legend adds its box in the
    // top-left corner, the title a strip below.
    w->findChild<QAction*>("MapImageTitle")->setChecked(false);
    ASSERT_EQ(w->saveMapImage(folder + "plain.png"), "");
    const QImage plain(folder + "plain.png");
    EXPECT_EQ(plain.size(), w->mapSurface()->image().size());
    w->findChild<QAction*>("Legend")->trigger();
    w->findChild<QAction*>("MapImageTitle")->setChecked(true);
    ASSERT_EQ(w->saveMapImage(folder + "titled.png"), "");
    const QImage titled(folder + "titled.png");
    EXPECT_EQ(titled.width(), plain.width());
    EXPECT_GT(titled.height(), plain.height());
    EXPECT_NE(titled.copy(0, 0, 60, 40), plain.copy(0, 0, 60, 40)) << "the legend's box";
    EXPECT_TRUE(w->mapImageTitle().startsWith("game \u2014 player 1 ")) << w->mapImageTitle().toStdString();
}

TEST_F(Planning, TheDockTellsTheTruthAndListsColonyTargets)
{
    QTableView* table = dock()->table();
    const int nearOwn = model()->positionOf(PlanetColumnId::NearOwn);
    const std::string race = s.yourPlayer()->RaceName;
    int unreported = -1, crowded = -1;
    for (int r = 0; r < model()->rowCount(); ++r) {
        const PlanetRow& row = model()->planetRow(r);
        if (row.reportAge == -1 && unreported < 0) unreported = r;
        if (row.population >= 1000 && crowded < 0) crowded = r;
        // Every planet has its nearest own world, named in the tooltip and among your worlds.
        const QString tip = model()->index(r, nearOwn).data(Qt::ToolTipRole).toString();
        ASSERT_FALSE(tip.isEmpty()) << row.name;
        ASSERT_EQ(s.AllPlanets.Item(tip.toStdString())->Owner, race) << row.name;
    }
    ASSERT_GE(unreported, 0);
    ASSERT_GE(crowded, 0);
    EXPECT_EQ(model()->index(unreported, PlanetsTableModel::Owner).data().toString(), "not reported");
    EXPECT_FALSE(model()->index(unreported, PlanetsTableModel::ReportAge).data().isValid());
    EXPECT_FALSE(model()->index(unreported, PlanetsTableModel::Population).data().isValid());
    // Figures as the panel writes them, on a German desktop too.
    QStyledItemDelegate delegate;
    const QModelIndex population = model()->index(crowded, PlanetsTableModel::Population);
    EXPECT_EQ(delegate.displayText(population.data(), QLocale(QLocale::German)),
              QString::number(model()->planetRow(crowded).population));
    // Room for "-32768" in the number columns.
    EXPECT_GE(table->columnWidth(PlanetsTableModel::Id), table->fontMetrics().horizontalAdvance("-32768"));

    // The first click on a rating sorts highest first.
    QHeaderView* header = table->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(PlanetsTableModel::Hab) + 5, header->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &click);
    }
    EXPECT_EQ(header->sortIndicatorSection(), PlanetsTableModel::Hab);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // Targets: reported, uninhabited, HabTerra above 0; best first, the nearer among equals.
    dock()->findChild<QCheckBox*>("chkTargets")->setChecked(true);
    const int rows = dock()->filter()->rowCount();
    ASSERT_GT(rows, 1);
    for (int i = 0; i < rows; ++i) {
        const PlanetRow& r = shownRow(i);
        EXPECT_TRUE(isColonyTarget(r)) << r.name;
        if (i == 0) continue;
        const PlanetRow& before = shownRow(i - 1);
        EXPECT_TRUE(*before.habTerra > *r.habTerra ||
                    (*before.habTerra == *r.habTerra && *before.nearOwn <= *r.nearOwn))
            << before.name << " before " << r.name;
    }
    dock()->findChild<QCheckBox*>("chkTargets")->setChecked(false);
    EXPECT_EQ(dock()->filter()->rowCount(), model()->rowCount());
}

TEST_F(Planning, FindCompletesNamesAndStepsThroughThem)
{
    FindPlanetDialog dialog({"Ulal", "Fa\u00E7ade", "Gamma", "Ulalu"});
    QLineEdit* field = dialog.nameField();
    auto type = [&](const QString& text) {
        field->clear();
        for (const QChar c : text) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &key);
        }
    };
    type("FACADE");
    ASSERT_EQ(dialog.completer()->completionCount(), 1);
    type("ulal");
    ASSERT_EQ(dialog.completer()->completionCount(), 2);
    dialog.completer()->setCurrentRow(1);
    emit dialog.completer()->activated(dialog.completer()->currentIndex());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(field->text(), "Ulalu");
    EXPECT_EQ(dialog.pickedPlanet(), 3);
    EXPECT_EQ(dialog.typedText(), "ulal");
    field->setText("Ulalu ");
    EXPECT_EQ(dialog.pickedPlanet(), -1) << "a pick edited afterwards is typed text";

    // In the window: a typed text keeps the exact rule; a pick finds its planet.
    PlanetPtr target = s.AllPlanets.At(20);
    w->findPlanetNamed(QString::fromStdString(target->PlanetName).toLower());
    EXPECT_EQ(messages.value(0), "Not Found");
    EXPECT_NE(s.view.PlanetSelected, target->ID);
    w->findPlanetNamed("whatever was typed", 19);
    EXPECT_EQ(s.view.PlanetSelected, target->ID);

    // F3 / Shift+F3 step through the names holding the text, in map order and round.
    std::vector<int16_t> holding;
    for (const auto& p : s.AllPlanets)
        if (searchFold(QString::fromStdString(p->PlanetName)).contains("vex")) holding.push_back(p->ID);
    ASSERT_GE(holding.size(), 3u);
    w->findPlanetNamed("vEx");
    s.view.PlanetSelected = holding[1];
    ASSERT_TRUE(w->findAgain(true));
    EXPECT_EQ(s.view.PlanetSelected, holding[2]);
    ASSERT_TRUE(w->findAgain(false));
    ASSERT_TRUE(w->findAgain(false));
    EXPECT_EQ(s.view.PlanetSelected, holding[0]);
    ASSERT_TRUE(w->findAgain(false));
    EXPECT_EQ(s.view.PlanetSelected, holding.back());
    EXPECT_TRUE(w->statusBar()->currentMessage().contains(QString("%1 of %1").arg(holding.size())));
    w->findPlanetNamed("no such name at all");
    EXPECT_FALSE(w->findAgain(true));
}

TEST_F(Planning, FilesAreSavedAsAsked)
{
    EXPECT_EQ(withDefaultExtension("/a/map", "png"), "/a/map.png");
    EXPECT_EQ(withDefaultExtension("/a/notes.v2/map", "png"), "/a/notes.v2/map.png");
    EXPECT_EQ(withDefaultExtension("/a/map.", "png"), "/a/map.png");
    EXPECT_EQ(withDefaultExtension("/a/map.jpg", "png"), "/a/map.jpg");

    dock()->saveCsvAs(folder + "targets");
    const QByteArray csv = readAll(folder + "targets.csv");
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFID,Name,")) << csv.left(20).toStdString();
    EXPECT_TRUE(csv.contains("\r\n5,Junsol II,1139,894,Uninhabited,-1,0,0,,,")) << "the report tool's format";
    EXPECT_TRUE(w->statusBar()->currentMessage().contains(QDir::toNativeSeparators(folder + "targets.csv")));

    w->findChild<QAction*>("MapImageTitle")->setChecked(false);
    // JPEG data for a .jpg name, or, where the toolkit was built without JPEG (the Windows
    // package), a refusal that names what can be written.
    if (QImageWriter::supportedImageFormats().contains("jpg")) {
        ASSERT_EQ(w->saveMapImage(folder + "map.jpg"), "");
        EXPECT_TRUE(readAll(folder + "map.jpg").startsWith("\xFF\xD8")) << "JPEG data for a .jpg name";
    } else {
        EXPECT_TRUE(w->saveMapImage(folder + "map.jpg").contains(".png"));
        EXPECT_FALSE(QFile::exists(folder + "map.jpg"));
    }
    ASSERT_EQ(w->saveMapImage(folder + "map.png"), "");
    EXPECT_TRUE(readAll(folder + "map.png").startsWith("\x89PNG"));
    const QString refused = w->saveMapImage(folder + "map.xyz");
    EXPECT_TRUE(refused.contains(".png")) << refused.toStdString();
    EXPECT_FALSE(QFile::exists(folder + "map.xyz"));

    // A read-only file is left as it is, with the reason.
    ASSERT_TRUE(QFile::setPermissions(folder + "map.png", QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QByteArray before = readAll(folder + "map.png");
    EXPECT_TRUE(w->saveMapImage(folder + "map.png").contains("read-only"));
    EXPECT_TRUE(dock()->saveCsv(folder + "map.png").contains("read-only"));
    EXPECT_EQ(readAll(folder + "map.png"), before);
}
