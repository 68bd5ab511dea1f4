#include "ui/planetpanel.h"
#include "ui/theme.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

#include "base/numeric.h"
#include "ui/dialogs.h"
#include "ui/markerlabel.h"

namespace vornex::ui {

namespace {

// The black environment strips under the panel: 202 pixels from x = 75.
constexpr int kStripLeft = 75;
constexpr int kStripRight = 75 + 202;
// How far below the top of the old client area the panel's first control stood.
constexpr int kTop = 56;

QString bgrCss(int32_t bgr)
{
    return colourFromBgr(bgr).name();
}

// Window pixels of a fractional left edge or width.
int pixels(double v)
{
    return int(num::roundHalfEven(v));
}

// What a line edit's frame, padding and margins take of its width; boxWidthFor adds the width of a
// text and the cursor's pixel, so that the text shows whole and never scrolls.
int lineEditInset(QLineEdit* e)
{
    e->ensurePolished();
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins m = e->textMargins();
    return e->width() - contents.width() + m.left() + m.right() + 2 * 2;
}

int boxWidthFor(QLineEdit* e, const QString& text)
{
    return lineEditInset(e) + e->fontMetrics().horizontalAdvance(text) + 1;
}

QPixmap unknownPicture(qreal dpr)
{
    const QSize size(319, 149);
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(panelColour());
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre(155.5, 62);
    QRadialGradient globe(centre - QPointF(9, 9), 34);
    globe.setColorAt(0, QColor(0x9a, 0xa8, 0xb8));
    globe.setColorAt(1, QColor(0x4a, 0x55, 0x66));
    p.setPen(QPen(QColor(0x40, 0x40, 0x48), 1.5));
    p.setBrush(globe);
    p.drawEllipse(centre, 30, 30);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x50, 0x50, 0x58), 2));
    p.drawEllipse(centre, 46, 11);
    QFont f = p.font();
    f.setPixelSize(34);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - 30, centre.y() - 30, 60, 60), Qt::AlignCenter, "?");
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(darkTheme() ? QApplication::palette().color(QPalette::WindowText) : QColor(0x30, 0x30, 0x30));
    p.drawText(QRectF(0, 110, size.width(), 20), Qt::AlignCenter, QObject::tr("No report for this planet"));
    return pm;
}

} // namespace

// The panel's controls by name.
struct PlanetPanel::Widgets {
    QLabel* unknownCover = nullptr;
    QLineEdit *txtDistance{}, *txtHabitability{}, *txtYourRace{}, *txtXcord{}, *txtYcord{};
    QLineEdit *txtSurfaceIron{}, *txtSurfaceBora{}, *txtSurfaceGerm{}, *txtMines{}, *txtFactories{};
    QLineEdit *txtPopulation{}, *txtCapacity{}, *txtScanner{}, *txtDef{}, *txtResources{};
    QLineEdit *txtPlanetName{}, *txtValue{}, *txtSummaryPopulation{}, *txtReportAge{}, *txtOwner{};
    QLineEdit *txtGrav{}, *txtTemp{}, *txtRad{};
    QLabel *lblIron{}, *lblBora{}, *lblGerm{};
    QLabel *lblRaceGrav{}, *lblRaceTemp{}, *lblRaceRad{};
    QLabel *lblGrav{}, *lblTemp{}, *lblRad{};
    QLabel *lblTerraGrav{}, *lblTerraTemp{}, *lblTerraRad{};
    // Boranium, Germanium, Ironium: the order of the panel's mineral rows in PanelValues.
    QLabel* lblSurface[3]{};
    QLabel* lblMining[3]{};
    QLabel* lblConc[3]{};
};

PlanetPanel::PlanetPanel(QWidget* parent) : QWidget(parent), d(std::make_unique<Widgets>())
{
    setObjectName("planetPanel");
    // Every control is placed in the window's coordinates of the design: the panel starts at the
    // client area's corner.
    QWidget* c = this;
    auto label = [](QWidget* parent, const char* name, const QString& text, QRect box) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        l->setGeometry(box);
        return l;
    };
    QFont bold = c->font();
    bold.setBold(true);
    // Row captions inside the two frames are a size smaller so that "Scanner Range" fits.
    QFont small = c->font();
    small.setPixelSize(10);
    QFont smallBold = small;
    smallBold.setBold(true);
    auto box = [&](QWidget* parent, const char* name, QRect geometry, bool framed = true) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(name);
        e->setGeometry(geometry);
        e->setReadOnly(true);
        e->setFont(bold);
        e->setFocusPolicy(Qt::ClickFocus);
        e->setStyleSheet(framed ? QString("QLineEdit { background: %1; border: 1px solid #808080; padding: 0 2px; }")
                                      .arg(panelColour().name())
                                : "QLineEdit { background: transparent; border: none; padding: 0; }");
        return e;
    };
    auto bar = [&](const char* name, QRect geometry, int32_t bgr) {
        auto* l = label(c, name, QString(), geometry);
        l->setStyleSheet(QString("background-color: %1;").arg(bgrCss(bgr)));
        return l;
    };

    // Top: your race and the selected planet's coordinates.
    label(c, "lblYourRaceCaption", tr("Your race"), QRect(8, 62, 120, 16));
    label(c, "lblLocationCaption", tr("Location (X, Y)"), QRect(200, 62, 121, 16))->setAlignment(Qt::AlignRight);
    d->txtYourRace = box(c, "txtYourRace", QRect(8, 80, 89, 19));
    d->txtXcord = box(c, "txtXcord", QRect(232, 80, 41, 19));
    d->txtYcord = box(c, "txtYcord", QRect(280, 80, 41, 19));
    // A coordinate cut short would read as another, believable number: the boxes take six
    // characters ("-32768") in their own font, and stay right-aligned with the panel's edge.
    const int coordWidth = std::max(41, boxWidthFor(d->txtXcord, QStringLiteral("-32768")));
    d->txtYcord->setGeometry(321 - coordWidth, 80, coordWidth, 19);
    d->txtXcord->setGeometry(d->txtYcord->x() - 7 - coordWidth, 80, coordWidth, 19);

    // Minerals on hand.
    auto* minerals = new QGroupBox(tr("Minerals On Hand"), c);
    minerals->setObjectName("frameMinerals");
    minerals->setGeometry(8, 104, 137, 107);
    struct Row {
        const char* label;
        const char* text;
        const char* box;
        int32_t colour;
    };
    const Row mineralRows[] = {{"lblIron", "Ironium", "txtSurfaceIron", 0x00C00000},
                               {"lblBora", "Boranium", "txtSurfaceBora", 0x00008000},
                               {"lblGerm", "Germanium", "txtSurfaceGerm", 0x0000A0A0},
                               {"lblMines", "Mines", "txtMines", -1},
                               {"lblFactories", "Factories", "txtFactories", -1}};
    QLineEdit** mineralBoxes[] = {&d->txtSurfaceIron, &d->txtSurfaceBora, &d->txtSurfaceGerm, &d->txtMines,
                                  &d->txtFactories};
    QLabel** mineralLabels[] = {&d->lblIron, &d->lblBora, &d->lblGerm, nullptr, nullptr};
    for (int i = 0; i < 5; ++i) {
        const int y = 18 + i * 17;
        QLabel* l = label(minerals, mineralRows[i].label, tr(mineralRows[i].text), QRect(5, y, 70, 16));
        l->setFont(small);
        if (mineralRows[i].colour >= 0) {
            l->setFont(smallBold);
            // Only the caption takes the colour: a plain "color" rule would reach its tooltip too,
            // and Germanium's olive is unreadable on the tooltip's yellow.
            l->setStyleSheet(
                QString("QLabel#%1 { color: %2; }").arg(mineralRows[i].label, captionCss(mineralRows[i].colour)));
        }
        if (mineralLabels[i]) *mineralLabels[i] = l;
        *mineralBoxes[i] = box(minerals, mineralRows[i].box, QRect(76, y, 55, 16));
    }

    // Status.
    auto* status = new QGroupBox(tr("Status"), c);
    status->setObjectName("frameStatus");
    status->setGeometry(152, 104, 150, 107);
    const Row statusRows[] = {{"lblPopulation", "Population", "txtPopulation", -1},
                              {"lblCapacity", "% Occupation", "txtCapacity", -1},
                              {"lblScanner", "Scanner Range", "txtScanner", -1},
                              {"lblDefences", "Defences", "txtDef", -1},
                              {"lblResources", "Resources", "txtResources", -1}};
    QLineEdit** statusBoxes[] = {&d->txtPopulation, &d->txtCapacity, &d->txtScanner, &d->txtDef, &d->txtResources};
    for (int i = 0; i < 5; ++i) {
        const int y = 18 + i * 17;
        label(status, statusRows[i].label, tr(statusRows[i].text), QRect(5, y, 76, 16))->setFont(small);
        *statusBoxes[i] = box(status, statusRows[i].box, QRect(81, y, 63, 16));
    }

    // Habitability and distance.
    label(c, "lblHabitabilityCaption", tr("Habitability"), QRect(8, 216, 108, 33))
        ->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    d->txtHabitability = box(c, "txtHabitability", QRect(120, 216, 81, 33));
    QFont big = bold;
    big.setPixelSize(18);
    d->txtHabitability->setFont(big);
    d->txtHabitability->setAlignment(Qt::AlignCenter);
    d->txtHabitability->setStyleSheet(
        QString("QLineEdit { background: %1; border: 1px solid #808080; }")
            .arg(darkTheme() ? QApplication::palette().color(QPalette::Base).name() : QStringLiteral("white")));
    d->txtHabitability->setToolTip(tr("Habitability for your race, without terraforming"));
    label(c, "lblDistanceCaption", tr("Distance"), QRect(8, 272, 76, 25))
        ->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    d->txtDistance = box(c, "txtDistance", QRect(88, 272, 177, 25));
    d->txtDistance->setToolTip(tr("Right-click a planet on the map to measure its distance from the selected one"));

    // Title and summary lines.
    d->txtPlanetName = box(c, "txtPlanetName", QRect(8, 328, 313, 20), false);
    QFont title = bold;
    title.setPointSize(12);
    d->txtPlanetName->setFont(title);
    d->txtValue = box(c, "txtValue", QRect(8, 357, 148, 15), false);
    d->txtValue->setText("Value");
    d->txtSummaryPopulation = box(c, "txtSummaryPopulation", QRect(160, 357, 155, 15), false);
    d->txtSummaryPopulation->setText("Population");
    d->txtReportAge = box(c, "txtReportAge", QRect(8, 372, 145, 15), false);
    d->txtReportAge->setText("Report Age");
    d->txtOwner = box(c, "txtOwner", QRect(155, 372, 160, 15), false);

    // Environment rows: black strip, race range bar, value marker, terraform marker, value text.
    struct EnvRow {
        const char *caption, *captionText, *strip, *range, *marker, *terra, *text;
        int top;
        int32_t rangeColour, markerColour;
        int markerHeight;
    };
    const EnvRow env[] = {
        {"lblGravityCaption", "Gravity", "gravityStrip", "lblRaceGrav", "lblGrav", "lblTerraGrav", "txtGrav", 388,
         0x00800000, 0x00FF0000, 13},
        {"lblTempCaption", "Temp", "tempStrip", "lblRaceTemp", "lblTemp", "lblTerraTemp", "txtTemp", 406, 0x00000080,
         0x000000FF, 13},
        {"lblRadiationCaption", "Radiation", "radiationStrip", "lblRaceRad", "lblRad", "lblTerraRad", "txtRad", 424,
         0x00008000, 0x0000FF00, 10},
    };
    QLabel** ranges[] = {&d->lblRaceGrav, &d->lblRaceTemp, &d->lblRaceRad};
    QLabel** markers[] = {&d->lblGrav, &d->lblTemp, &d->lblRad};
    QLabel** terras[] = {&d->lblTerraGrav, &d->lblTerraTemp, &d->lblTerraRad};
    QLineEdit** texts[] = {&d->txtGrav, &d->txtTemp, &d->txtRad};
    for (int i = 0; i < 3; ++i) {
        const EnvRow& r = env[i];
        label(c, r.caption, tr(r.captionText), QRect(8, r.top + 2, 66, 13))->setFont(smallBold);
        bar(r.strip, QRect(75, r.top, 202, 17), 0x00000000);
        // Until the race's range is known the bar has no width.
        *ranges[i] = bar(r.range, QRect(75, r.top + 2, 0, 13), r.rangeColour);
        QLabel* m = label(c, r.marker, "+", QRect(72, r.top + 2, 7, r.markerHeight));
        m->setAlignment(Qt::AlignCenter);
        QFont mf = bold;
        mf.setPixelSize(r.markerHeight >= 13 ? 13 : 11);
        m->setFont(mf);
        m->setStyleSheet(QString("color: %1; background: transparent;").arg(bgrCss(r.markerColour)));
        m->hide();
        *markers[i] = m;
        auto* t = new MarkerLabel(MarkerLabel::Shape::Terraform, colourFromBgr(r.markerColour), c);
        t->setObjectName(r.terra);
        t->setGeometry(72, r.top + 2, 17, 13);
        t->hide();
        *terras[i] = t;
        // The value texts have room up to the map's edge ("-172°C", "100mR").
        *texts[i] = box(c, r.text, QRect(280, r.top, 327 - 280, 17), false);
    }

    // Mineral chart: black field, grid lines, mining bars behind surface bars, concentration
    // markers on top. Rows in the panel's order Boranium, Germanium, Ironium.
    bar("mineralChart", QRect(75, 448, 202, 53), 0x00000000);
    const char* const gridNames[] = {"mineralGrid1", "mineralGrid2", "mineralGrid3", "mineralGrid4",
                                     "mineralGrid5", "mineralGrid6", "mineralGrid7", "mineralGrid8"};
    const int gridX[] = {75, 104, 133, 162, 190, 219, 248, 277};
    QLabel* firstGrid = nullptr;
    for (int i = 0; i < 8; ++i) {
        QLabel* g = bar(gridNames[i], QRect(gridX[i], 448, 1, 53), 0x00FFFFFF);
        if (i == 0) firstGrid = g;
    }
    struct MinRow {
        const char *caption, *captionText, *surface, *mining, *conc;
        int captionTop, barTop, concTop;
        int32_t captionColour, surfaceColour, miningColour;
    };
    const MinRow rows[] = {
        {"lblBoraniumRow", "Boranium", "lblSurfaceBora", "lblMiningBora", "lblConcBora", 469, 469, 468, 0x00008000,
         0x0000FF00, 0x00008000},
        {"lblGermaniumRow", "Germanium", "lblSurfaceGerm", "lblMiningGerm", "lblConcGerm", 486, 487, 486, 0x0000A0A0,
         0x0000FFFF, 0x00008080},
        {"lblIroniumRow", "Ironium", "lblSurfaceIron", "lblMiningIron", "lblConcIron", 450, 451, 450, 0x00C00000,
         0x00FF0000, 0x00800000},
    };
    for (int i = 0; i < 3; ++i) {
        const MinRow& r = rows[i];
        QLabel* cap = label(c, r.caption, tr(r.captionText), QRect(8, r.captionTop, 66, 13));
        cap->setFont(smallBold);
        cap->setStyleSheet(QString("color: %1;").arg(captionCss(r.captionColour)));
        d->lblMining[i] = bar(r.mining, QRect(75, r.barTop, 0, 11), r.miningColour);
        d->lblSurface[i] = bar(r.surface, QRect(75, r.barTop, 0, 11), r.surfaceColour);
    }
    firstGrid->raise();
    for (int i = 0; i < 3; ++i) {
        auto* m = new MarkerLabel(MarkerLabel::Shape::Concentration, colourFromBgr(rows[i].miningColour), c);
        m->setObjectName(rows[i].conc);
        m->setGeometry(66, rows[i].concTop, 17, 13);
        m->hide();
        d->lblConc[i] = m;
    }

    // The cover for planets never reported lies above the whole details area.
    d->unknownCover = new QLabel(c);
    d->unknownCover->setObjectName("unknownPlanetCover");
    // Wide enough to hide the value texts at the right end of the environment rows as well (their
    // boxes reach the map's edge; a sliver of the last planet's values would show beside a
    // 305-wide cover).
    d->unknownCover->setGeometry(8, 359, 327 - 8, 149);
    d->unknownCover->setPixmap(unknownPicture(devicePixelRatioF()));
    d->unknownCover->hide();
    d->unknownCover->raise();

    // The controls above were placed from the top of the window's old client area; the panel
    // starts below the toolbar.
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->move(w->pos() - QPoint(0, kTop));
    setFixedSize(327, 512 + 1 - kTop);
}

PlanetPanel::~PlanetPanel() = default;

void PlanetPanel::paintEvent(QPaintEvent*)
{
    // The cut-corner rectangle (Line1 to Line8) around the details area.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int l = 0, r = 320, t = 352 - kTop, b = 512 - kTop, c = 8;
    const QPoint corners[] = {{l + c, t}, {r - c, t}, {r, t + c}, {r, b - c},
                              {r - c, b}, {l + c, b}, {l, b - c}, {l, t + c}};
    // Light edges top and left, dark ones bottom and right, like the panel's sunken frames.
    for (int i = 0; i < 8; ++i) {
        const bool lit = i == 0 || i >= 6;
        p.setPen(QPen(lit ? frameLight() : frameShade(), 1));
        p.drawLine(corners[i], corners[(i + 1) % 8]);
    }
}

void PlanetPanel::setYourRace(const QString& name)
{
    d->txtYourRace->setText(name);
}

void PlanetPanel::setDistanceText(const QString& text)
{
    d->txtDistance->setText(text);
}

void PlanetPanel::showNoPlanet()
{
    d->unknownCover->show();
}

void PlanetPanel::showPlanet(const PanelValues& v)
{
    auto set = [](QLineEdit* e, const std::string& text) {
        e->setText(QString::fromStdString(text));
        e->setCursorPosition(0);
    };
    if (!v.reported) {
        set(d->txtXcord, v.xcord);
        set(d->txtYcord, v.ycord);
        set(d->txtPlanetName, v.title);
        d->unknownCover->show();
        return;
    }

    d->unknownCover->hide();
    QLabel* tips[] = {d->lblBora, d->lblGerm, d->lblIron};
    for (int i = 0; i < 3; ++i) {
        const MineralRow& row = v.minerals[i];
        tips[i]->setToolTip(QString::fromStdString(row.tooltip));
        if (row.concLeft) {
            d->lblConc[i]->move(pixels(*row.concLeft), d->lblConc[i]->y());
            d->lblConc[i]->show();
        }
    }
    set(d->txtDef, v.def);
    set(d->txtFactories, v.factories);
    set(d->txtMines, v.mines);
    set(d->txtOwner, v.owner);
    set(d->txtPlanetName, v.title);
    set(d->txtPopulation, v.population);
    set(d->txtSummaryPopulation, v.population1);
    set(d->txtReportAge, v.reportAge);
    set(d->txtResources, v.resources);
    set(d->txtSurfaceBora, v.surfaceBora);
    set(d->txtSurfaceGerm, v.surfaceGerm);
    set(d->txtSurfaceIron, v.surfaceIron);
    for (int i = 0; i < 3; ++i) {
        const MineralRow& row = v.minerals[i];
        if (row.surfaceWidth) d->lblSurface[i]->resize(pixels(*row.surfaceWidth), d->lblSurface[i]->height());
        if (row.miningWidth) d->lblMining[i]->resize(pixels(*row.miningWidth), d->lblMining[i]->height());
    }
    set(d->txtXcord, v.xcord);
    set(d->txtYcord, v.ycord);
    set(d->txtCapacity, v.capacity);
    set(d->txtScanner, v.scanner);
    set(d->txtGrav, v.grav);
    set(d->txtTemp, v.temp);
    set(d->txtRad, v.rad);
    auto place = [](QLabel* marker, const std::optional<double>& left) {
        if (!left) return;
        marker->move(pixels(*left), marker->y());
        marker->show();
    };
    place(d->lblGrav, v.gravLeft);
    place(d->lblTemp, v.tempLeft);
    place(d->lblRad, v.radLeft);
    // Each rating places the terraform markers; the one after terraforming comes last.
    QLabel* terra[] = {d->lblTerraGrav, d->lblTerraTemp, d->lblTerraRad};
    for (const auto& hab : {v.hab, v.habTerra}) {
        if (!hab) continue;
        for (int i = 0; i < 3; ++i)
            place(terra[i], hab->markerLeft[i]);
    }
    if (v.habitability) set(d->txtHabitability, *v.habitability);
    if (v.valueLine) set(d->txtValue, *v.valueLine);
}

void PlanetPanel::showRaceBars(const RaceBars& bars)
{
    auto place = [](QLabel* bar, const std::optional<std::pair<double, double>>& b) {
        if (!b) return;
        // A range whose maximum lies below its minimum has no bar to show. A limit beyond the scale
        // (Temp Min -500) is taken as typed, but its bar stops at the ends of its strip and never
        // covers the row's caption or value text.
        const int left = pixels(b->first);
        const int right = left + std::max(0, pixels(b->second));
        const int l = std::clamp(left, kStripLeft, kStripRight);
        const int r = std::clamp(right, kStripLeft, kStripRight);
        bar->setGeometry(l, bar->y(), r - l, bar->height());
    };
    place(d->lblRaceGrav, bars.grav);
    place(d->lblRaceTemp, bars.temp);
    place(d->lblRaceRad, bars.rad);
}

} // namespace vornex::ui
