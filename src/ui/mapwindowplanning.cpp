#include <QAction>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

#include "app/programstate.h"
#include "base/numeric.h"
#include "ui/dialogs.h"
#include "ui/findplanetdialog.h"
#include "ui/legendlayer.h"
#include "ui/maprenderer.h"
#include "ui/mapwindow.h"
#include "ui/mapwindowimpl.h"
#include "ui/planetsdock.h"
#include "ui/racesdock.h"
#include "ui/rangeslayer.h"
#include "ui/savedfiles.h"

namespace vornex::ui {

// ---- planning the next move: ranges, ring, legend, races, find, map images -----------------

void MapWindow::buildPlanning()
{
    addMapLayer(std::make_unique<RangesLayer>());
    auto ring = std::make_unique<RangeRingLayer>();
    d->ring = ring.get();
    addMapLayer(std::move(ring));
    addMapLayer(std::make_unique<LegendLayer>());

    // The ring's radius, typed beside the layer buttons: a ship's range around the selected planet.
    auto* radius = new QSpinBox(this);
    radius->setObjectName("spnRingRadius");
    radius->setRange(0, 32767);
    radius->setSpecialValueText(tr("No ring"));
    radius->setPrefix(tr("Ring "));
    radius->setToolTip(tr("A ring of this radius around the selected planet (a ship's range); 0 for none"));
    radius->setAccelerated(true);
    d->toolbar->insertWidget(d->layersEnd, radius);
    connect(radius, &QSpinBox::valueChanged, this, &MapWindow::setRingRadius);

    d->races = new RacesDock(d->state, this);
    addDockWidget(Qt::RightDockWidgetArea, d->races);
    d->races->hide();
    QAction* races = d->races->toggleViewAction();
    races->setObjectName("ShowRaces");
    races->setShortcut(QKeySequence(tr("Ctrl+Shift+R")));
    d->viewMenu->addAction(races);
    if (QAction* planets = findChild<QAction*>("ShowPlanets")) planets->setShortcut(QKeySequence(tr("Ctrl+Shift+P")));
    connect(d->planets, &PlanetsDock::saved, this, &MapWindow::showStatus);

    QMenu* edit = findChild<QMenu*>("Edit");
    QAction* next = edit->addAction(tr("Find &Next"));
    next->setObjectName("FindNext");
    next->setShortcut(QKeySequence::FindNext);
    next->setShortcutContext(Qt::WindowShortcut);
    connect(next, &QAction::triggered, this, [this] { findAgain(true); });
    QAction* previous = edit->addAction(tr("Find &Previous"));
    previous->setObjectName("FindPrevious");
    previous->setShortcut(QKeySequence::FindPrevious);
    previous->setShortcutContext(Qt::WindowShortcut);
    connect(previous, &QAction::triggered, this, [this] { findAgain(false); });

    d->imageTitle = new QAction(tr("&Title on Map Images"), this);
    d->imageTitle->setObjectName("MapImageTitle");
    d->imageTitle->setCheckable(true);
    d->imageTitle->setChecked(true);
    d->imageTitle->setToolTip(tr("Saved map images get a strip with the game, the player and the report's date; "
                                 "the legend comes with them while it is shown"));
    if (QAction* image = findChild<QAction*>("SaveMapImage")) d->fileMenu->insertAction(image, d->imageTitle);
}

QDockWidget* MapWindow::racesDock()
{
    finishStartup();
    return d->races;
}

void MapWindow::setRingRadius(int radius)
{
    d->ring->setRadius(radius);
    redrawMap();
}

void MapWindow::findPlanet()
{
    QString typed, typedText;
    int picked = -1;
    if (dialogHooks().input) {
        // Tests answer the box as a typed text.
        typed = dialogHooks().input("Find Planet", "Planet Name").value_or(QString());
    } else {
        QStringList names;
        names.reserve(d->state.AllPlanets.Count());
        for (const auto& planet : d->state.AllPlanets)
            names << QString::fromStdString(planet->PlanetName);
        FindPlanetDialog dialog(names, this);
        // Cancel searches for the empty name, like an empty answer.
        if (dialog.exec() == QDialog::Accepted) {
            typed = dialog.nameField()->text();
            picked = dialog.pickedPlanet();
            typedText = dialog.typedText();
        }
    }
    findPlanetNamed(typed, picked);
    // Find Next steps through the names holding what was typed, not just the name picked.
    if (picked >= 0 && !typedText.isEmpty()) d->findText = typedText;
}

void MapWindow::findPlanetNamed(const QString& text, int picked)
{
    auto& s = d->state;
    d->findText = text;
    PlanetPtr found = picked >= 0 ? s.AllPlanets.At(picked + 1) : nullptr;
    if (!found) {
        const std::string name = text.toStdString();
        for (const auto& planet : s.AllPlanets)
            if (planet->PlanetName == name) {
                found = planet;
                break;
            }
    }
    if (!found) {
        showMessage(this, "Find Planet", "Not Found");
        return;
    }
    const int16_t x = found->Xcord, y = found->Ycord;
    try {
        d->map->moveView(ViewStep::Keep, num::sub16(x, s.view.XStart), num::sub16(y, s.view.YStart));
    } catch (const OverflowError&) {
        showStatus(tr("The planet lies too far from the view to centre on it."));
    }
    selectNearestPlanet(x, y);
}

bool MapWindow::findAgain(bool forward)
{
    if (d->findText.isEmpty()) {
        findPlanet();
        return d->state.selectedPlanet() != nullptr;
    }
    auto& s = d->state;
    const QString wanted = searchFold(d->findText);
    std::vector<PlanetPtr> matches;
    int after = -1; // matches before the selected planet in map order
    for (const auto& planet : s.AllPlanets) {
        if (planet->ID == s.view.PlanetSelected) after = int(matches.size());
        if (searchFold(QString::fromStdString(planet->PlanetName)).contains(wanted)) matches.push_back(planet);
    }
    if (matches.empty()) {
        showStatus(tr("No planet name contains \"%1\"").arg(d->findText));
        return false;
    }
    const int n = int(matches.size());
    int index;
    if (after < 0)
        index = forward ? 0 : n - 1;
    else if (forward)
        index = (after < n && matches[size_t(after)]->ID == s.view.PlanetSelected ? after + 1 : after) % n;
    else
        index = (after - 1 + n) % n;
    PlanetPtr target = matches[size_t(index)];
    selectPlanet(target->ID);
    showStatus(tr("%1: %2 of %3 names containing \"%4\"")
                   .arg(QString::fromStdString(target->PlanetName))
                   .arg(index + 1)
                   .arg(n)
                   .arg(d->findText));
    return true;
}

void MapWindow::chooseMapImageFile()
{
    QString path = QFileDialog::getSaveFileName(this, tr("Save Map Image"),
                                                QString::fromStdString(d->state.game.folder) + "map.png",
                                                tr("PNG images (*.png);;JPEG images (*.jpg *.jpeg)"));
    if (path.isEmpty()) return;
    path = withDefaultExtension(path, "png");
    const QString error = saveMapImage(path);
    if (!error.isEmpty()) {
        showMessage(this, tr("Save Map Image"), tr("%1 could not be saved:\n%2").arg(path, error));
        return;
    }
    showStatus(tr("Map image saved: %1").arg(QDir::toNativeSeparators(path)));
}

QString MapWindow::mapImageTitle() const
{
    const auto& s = d->state;
    QString player = tr("player %1").arg(s.yourNumber());
    if (PlayerPtr you = s.yourPlayer())
        if (!you->PlayerName.empty() || !you->RaceName.empty())
            player +=
                QString(" %1 (%2)").arg(QString::fromStdString(you->PlayerName), QString::fromStdString(you->RaceName));
    // The game files carry no turn number: the planets report's date says which turn it is.
    const QFileInfo report(QString::fromStdString(s.game.reportFile()));
    QString title = QString("%1 \u2014 %2").arg(QString::fromStdString(s.game.name), player);
    if (report.exists())
        title += QString(" \u2014 ") + tr("report of %1").arg(report.lastModified().toString("yyyy-MM-dd HH:mm"));
    return title;
}

QString MapWindow::saveMapImage(const QString& path) const
{
    QString why;
    const auto format = imageFormatFor(path, &why);
    if (!format) return why;
    QImage image = d->map->image();
    if (d->imageTitle && d->imageTitle->isChecked()) {
        // A strip under the map, at the map's pixel ratio.
        const qreal dpr = image.devicePixelRatio();
        const QFont font = QGuiApplication::font();
        const int strip = int(std::ceil((QFontMetrics(font).height() + 8) * dpr));
        QImage titled(image.width(), image.height() + strip, QImage::Format_RGB32);
        titled.fill(QColor(24, 24, 32));
        {
            QPainter painter(&titled);
            painter.drawImage(QPoint(0, 0), image);
            painter.scale(dpr, dpr);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRectF(6, image.height() / dpr, image.width() / dpr - 12, strip / dpr),
                             Qt::AlignVCenter | Qt::AlignLeft, mapImageTitle());
        }
        image = titled;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format->constData())) return tr("the image could not be written as %1").arg(*format);
    return writeChosenFile(path, bytes);
}

} // namespace vornex::ui
