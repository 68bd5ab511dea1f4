#include "ui/planetpanel.h"
#include "ui/theme.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/dialogs.h"
#include "ui/environmentstrip.h"
#include "ui/mineralchart.h"

namespace vornex::ui {

namespace {

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
    const QSize size(311, 149);
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

// The picture of a planet without a report, drawn when it first shows: it needs two fonts of its
// own, and most starts select a reported planet.
class UnknownCover : public QLabel {
public:
    UnknownCover()
    {
        setObjectName("unknownPlanetCover");
        setAlignment(Qt::AlignCenter);
    }
    QSize sizeHint() const override { return QSize(311, 149); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void showEvent(QShowEvent* event) override
    {
        if (pixmap().isNull()) setPixmap(unknownPicture(devicePixelRatioF()));
        QLabel::showEvent(event);
    }
};

// The cut-corner frame around the planet's details.
class DetailsFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int l = 0, r = width() - 1, t = 0, b = height() - 1, c = 8;
        const QPoint corners[] = {{l + c, t}, {r - c, t}, {r, t + c}, {r, b - c},
                                  {r - c, b}, {l + c, b}, {l, b - c}, {l, t + c}};
        // Light edges top and left, dark ones bottom and right, like the panel's sunken frames.
        for (int i = 0; i < 8; ++i) {
            const bool lit = i == 0 || i >= 6;
            p.setPen(QPen(lit ? frameLight() : frameShade(), 1));
            p.drawLine(corners[i], corners[(i + 1) % 8]);
        }
    }
};

} // namespace

// The panel's controls by name.
struct PlanetPanel::Widgets {
    QStackedWidget* details = nullptr;
    QWidget* detailsPage = nullptr;
    QLabel* unknownCover = nullptr;
    QLineEdit *txtDistance{}, *txtHabitability{}, *txtYourRace{}, *txtXcord{}, *txtYcord{};
    QLineEdit *txtSurfaceIron{}, *txtSurfaceBora{}, *txtSurfaceGerm{}, *txtMines{}, *txtFactories{};
    QLineEdit *txtPopulation{}, *txtCapacity{}, *txtScanner{}, *txtDef{}, *txtResources{};
    QLineEdit *txtPlanetName{}, *txtValue{}, *txtSummaryPopulation{}, *txtReportAge{}, *txtOwner{};
    QLineEdit *txtGrav{}, *txtTemp{}, *txtRad{};
    QLabel *lblIron{}, *lblBora{}, *lblGerm{};
    EnvironmentStrip *gravity{}, *temperature{}, *radiation{};
    MineralChart* minerals = nullptr;
};

PlanetPanel::PlanetPanel(QWidget* parent) : QWidget(parent), d(std::make_unique<Widgets>())
{
    setObjectName("planetPanel");
    auto label = [](QWidget* parent, const char* name, const QString& text) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        return l;
    };
    QFont bold = font();
    bold.setBold(true);
    // Row captions inside the two frames are a size smaller so that "Scanner Range" fits.
    QFont small = font();
    small.setPixelSize(10);
    QFont smallBold = small;
    smallBold.setBold(true);
    auto box = [&](QWidget* parent, const char* name, bool framed = true) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setFont(bold);
        e->setFocusPolicy(Qt::ClickFocus);
        e->setStyleSheet(framed ? QString("QLineEdit { background: %1; border: 1px solid #808080; padding: 0 2px; }")
                                      .arg(panelColour().name())
                                : "QLineEdit { background: transparent; border: none; padding: 0; }");
        return e;
    };
    // A box as wide as this text needs in its own font, so that no figure is ever cut short (a cut
    // figure reads as another, believable one).
    auto fitTo = [](QLineEdit* e, const QString& widest) { e->setFixedWidth(boxWidthFor(e, widest)); };
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 6, 0, 0);
    column->setSpacing(6);

    // Top: your race and the selected planet's coordinates.
    auto* top = new QGridLayout;
    top->setHorizontalSpacing(7);
    top->addWidget(label(this, "lblYourRaceCaption", tr("Your race")), 0, 0);
    auto* location = label(this, "lblLocationCaption", tr("Location (X, Y)"));
    location->setAlignment(Qt::AlignRight);
    top->addWidget(location, 0, 2, 1, 2);
    d->txtYourRace = box(this, "txtYourRace");
    d->txtYourRace->setMinimumWidth(89);
    top->addWidget(d->txtYourRace, 1, 0);
    top->setColumnStretch(1, 1);
    d->txtXcord = box(this, "txtXcord");
    d->txtYcord = box(this, "txtYcord");
    for (QLineEdit* e : {d->txtXcord, d->txtYcord})
        fitTo(e, QStringLiteral("-32768"));
    top->addWidget(d->txtXcord, 1, 2);
    top->addWidget(d->txtYcord, 1, 3);
    column->addLayout(top);

    // Minerals on hand and status, side by side.
    struct Row {
        const char* label;
        const char* text;
        const char* box;
        int32_t colour;
    };
    auto frame = [&](const char* name, const QString& title, const Row(&rows)[5], QLineEdit** const(&boxes)[5],
                     QLabel** const(&labels)[5], const QString& widest) {
        auto* group = new QGroupBox(title, this);
        group->setObjectName(name);
        auto* grid = new QGridLayout(group);
        grid->setContentsMargins(5, 4, 5, 5);
        grid->setVerticalSpacing(1);
        for (int i = 0; i < 5; ++i) {
            QLabel* l = label(group, rows[i].label, tr(rows[i].text));
            l->setFont(small);
            if (rows[i].colour >= 0) {
                l->setFont(smallBold);
                // Only the caption takes the colour: a plain "color" rule would reach its tooltip
                // too, and Germanium's olive is unreadable on the tooltip's yellow.
                l->setStyleSheet(QString("QLabel#%1 { color: %2; }").arg(rows[i].label, captionCss(rows[i].colour)));
            }
            if (labels[i]) *labels[i] = l;
            QLineEdit* e = box(group, rows[i].box);
            fitTo(e, widest);
            *boxes[i] = e;
            grid->addWidget(l, i, 0);
            grid->addWidget(e, i, 1);
        }
        return group;
    };
    const Row mineralRows[] = {{"lblIron", "Ironium", "txtSurfaceIron", 0x00C00000},
                               {"lblBora", "Boranium", "txtSurfaceBora", 0x00008000},
                               {"lblGerm", "Germanium", "txtSurfaceGerm", 0x0000A0A0},
                               {"lblMines", "Mines", "txtMines", -1},
                               {"lblFactories", "Factories", "txtFactories", -1}};
    const Row statusRows[] = {{"lblPopulation", "Population", "txtPopulation", -1},
                              {"lblCapacity", "% Occupation", "txtCapacity", -1},
                              {"lblScanner", "Scanner Range", "txtScanner", -1},
                              {"lblDefences", "Defences", "txtDef", -1},
                              {"lblResources", "Resources", "txtResources", -1}};
    auto* frames = new QHBoxLayout;
    frames->addWidget(
        frame("frameMinerals", tr("Minerals On Hand"), mineralRows,
              {&d->txtSurfaceIron, &d->txtSurfaceBora, &d->txtSurfaceGerm, &d->txtMines, &d->txtFactories},
              {&d->lblIron, &d->lblBora, &d->lblGerm, nullptr, nullptr}, QStringLiteral("999999")));
    frames->addWidget(frame("frameStatus", tr("Status"), statusRows,
                            {&d->txtPopulation, &d->txtCapacity, &d->txtScanner, &d->txtDef, &d->txtResources},
                            {nullptr, nullptr, nullptr, nullptr, nullptr}, QStringLiteral("1000(100)")));
    frames->addStretch(1);
    column->addLayout(frames);

    // Habitability and distance.
    auto* figures = new QGridLayout;
    auto* habCaption = label(this, "lblHabitabilityCaption", tr("Habitability"));
    habCaption->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    figures->addWidget(habCaption, 0, 0);
    d->txtHabitability = box(this, "txtHabitability");
    QFont big = bold;
    big.setPixelSize(18);
    d->txtHabitability->setFont(big);
    d->txtHabitability->setAlignment(Qt::AlignCenter);
    d->txtHabitability->setStyleSheet(
        QString("QLineEdit { background: %1; border: 1px solid #808080; }")
            .arg(darkTheme() ? QApplication::palette().color(QPalette::Base).name() : QStringLiteral("white")));
    d->txtHabitability->setToolTip(tr("Habitability for your race, without terraforming"));
    d->txtHabitability->setFixedSize(std::max(81, boxWidthFor(d->txtHabitability, QStringLiteral("-100"))), 33);
    figures->addWidget(d->txtHabitability, 0, 1, Qt::AlignLeft);
    auto* distanceCaption = label(this, "lblDistanceCaption", tr("Distance"));
    distanceCaption->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    figures->addWidget(distanceCaption, 1, 0);
    d->txtDistance = box(this, "txtDistance");
    d->txtDistance->setToolTip(tr("Right-click a planet on the map to measure its distance from the selected one"));
    d->txtDistance->setMinimumWidth(120);
    figures->addWidget(d->txtDistance, 1, 1);
    figures->setColumnStretch(2, 1);
    column->addLayout(figures);

    // The planet's title, then its details in a frame; a planet never reported shows the cover.
    d->txtPlanetName = box(this, "txtPlanetName", false);
    QFont title = bold;
    title.setPointSize(12);
    d->txtPlanetName->setFont(title);
    column->addWidget(d->txtPlanetName);

    auto* frameBox = new DetailsFrame(this);
    frameBox->setObjectName("planetDetailsFrame");
    auto* frameLayout = new QVBoxLayout(frameBox);
    frameLayout->setContentsMargins(6, 5, 6, 6);
    d->details = new QStackedWidget(frameBox);
    frameLayout->addWidget(d->details);
    column->addWidget(frameBox);
    column->addStretch(1);

    d->detailsPage = new QWidget;
    d->detailsPage->setObjectName("planetDetails");
    auto* grid = new QGridLayout(d->detailsPage);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    // Summary lines.
    d->txtValue = box(d->detailsPage, "txtValue", false);
    d->txtSummaryPopulation = box(d->detailsPage, "txtSummaryPopulation", false);
    d->txtReportAge = box(d->detailsPage, "txtReportAge", false);
    d->txtOwner = box(d->detailsPage, "txtOwner", false);
    grid->addWidget(d->txtValue, 0, 0, 1, 2);
    grid->addWidget(d->txtSummaryPopulation, 0, 2, 1, 2);
    grid->addWidget(d->txtReportAge, 1, 0, 1, 2);
    grid->addWidget(d->txtOwner, 1, 2, 1, 2);

    // Environment rows: caption, strip, value text.
    struct EnvRow {
        const char *caption, *captionText, *strip, *text;
        int32_t rangeColour, markerColour;
        EnvironmentStrip** widget;
        QLineEdit** value;
    };
    const EnvRow env[] = {
        {"lblGravityCaption", "Gravity", "gravityStrip", "txtGrav", 0x00800000, 0x00FF0000, &d->gravity, &d->txtGrav},
        {"lblTempCaption", "Temp", "tempStrip", "txtTemp", 0x00000080, 0x000000FF, &d->temperature, &d->txtTemp},
        {"lblRadiationCaption", "Radiation", "radiationStrip", "txtRad", 0x00008000, 0x0000FF00, &d->radiation,
         &d->txtRad},
    };
    for (int i = 0; i < 3; ++i) {
        const EnvRow& r = env[i];
        grid->addWidget(label(d->detailsPage, r.caption, tr(r.captionText)), 2 + i, 0);
        grid->itemAtPosition(2 + i, 0)->widget()->setFont(smallBold);
        auto* strip = new EnvironmentStrip(colourFromBgr(r.rangeColour), colourFromBgr(r.markerColour), d->detailsPage);
        strip->setObjectName(r.strip);
        *r.widget = strip;
        grid->addWidget(strip, 2 + i, 1, 1, 2);
        QLineEdit* value = box(d->detailsPage, r.text, false);
        value->setFixedWidth(
            std::max({boxWidthFor(value, QString::fromUtf8("-200\u00b0C")), boxWidthFor(value, QStringLiteral("100mR")),
                      boxWidthFor(value, QStringLiteral("8.00g"))}));
        *r.value = value;
        grid->addWidget(value, 2 + i, 3);
    }

    // Mineral chart: the captions beside one chart of three rows.
    auto* mineralCaptions = new QVBoxLayout;
    mineralCaptions->setSpacing(0);
    struct MinRow {
        const char *caption, *text;
        int32_t colour;
    };
    const MinRow rows[] = {{"lblIroniumRow", "Ironium", 0x00C00000},
                           {"lblBoraniumRow", "Boranium", 0x00008000},
                           {"lblGermaniumRow", "Germanium", 0x0000A0A0}};
    for (const MinRow& r : rows) {
        QLabel* cap = label(d->detailsPage, r.caption, tr(r.text));
        cap->setFont(smallBold);
        cap->setStyleSheet(QString("color: %1;").arg(captionCss(r.colour)));
        mineralCaptions->addWidget(cap);
    }
    grid->addLayout(mineralCaptions, 5, 0);
    d->minerals = new MineralChart(d->detailsPage);
    d->minerals->setObjectName("mineralChart");
    grid->addWidget(d->minerals, 5, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(5, 56);
    grid->setContentsMargins(0, 0, 0, 2);

    d->unknownCover = new UnknownCover;
    d->details->addWidget(d->detailsPage);
    d->details->addWidget(d->unknownCover);
    d->details->setCurrentWidget(d->detailsPage);
    showNoPlanet();
}

PlanetPanel::~PlanetPanel() = default;

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
    clearFigures();
    for (QLineEdit* e : {d->txtXcord, d->txtYcord, d->txtPlanetName})
        e->clear();
    d->details->setCurrentWidget(d->unknownCover);
}

void PlanetPanel::clearFigures()
{
    for (QLineEdit* e :
         {d->txtHabitability, d->txtSurfaceIron, d->txtSurfaceBora, d->txtSurfaceGerm, d->txtMines, d->txtFactories,
          d->txtPopulation, d->txtCapacity, d->txtScanner, d->txtDef, d->txtResources, d->txtValue,
          d->txtSummaryPopulation, d->txtReportAge, d->txtOwner, d->txtGrav, d->txtTemp, d->txtRad})
        e->clear();
    for (QLabel* l : {d->lblIron, d->lblBora, d->lblGerm})
        l->setToolTip(QString());
    for (EnvironmentStrip* s : {d->gravity, d->temperature, d->radiation}) {
        s->setValue(std::nullopt);
        s->setTerraform(std::nullopt);
    }
    for (auto m : {MineralChart::Ironium, MineralChart::Boranium, MineralChart::Germanium})
        d->minerals->setRow(m, {});
}

void PlanetPanel::showPlanet(const PanelValues& v)
{
    auto set = [](QLineEdit* e, const std::string& text) {
        e->setText(QString::fromStdString(text));
        e->setCursorPosition(0);
    };
    // Every figure of the planet shown before goes first: what cannot be worked out for this
    // planet stays empty.
    clearFigures();
    set(d->txtXcord, v.xcord);
    set(d->txtYcord, v.ycord);
    set(d->txtPlanetName, v.title);
    if (!v.reported) {
        d->details->setCurrentWidget(d->unknownCover);
        return;
    }
    d->details->setCurrentWidget(d->detailsPage);
    // PanelValues keeps Boranium, Germanium, Ironium; the chart runs Ironium, Boranium, Germanium.
    QLabel* tips[] = {d->lblBora, d->lblGerm, d->lblIron};
    const MineralChart::Mineral chartRows[] = {MineralChart::Boranium, MineralChart::Germanium, MineralChart::Ironium};
    for (int i = 0; i < 3; ++i) {
        const MineralRow& row = v.minerals[size_t(i)];
        tips[i]->setToolTip(QString::fromStdString(row.tooltip));
        d->minerals->setRow(chartRows[i], {row.surface, row.mining, row.concentration});
    }
    set(d->txtDef, v.def);
    set(d->txtFactories, v.factories);
    set(d->txtMines, v.mines);
    set(d->txtOwner, v.owner);
    set(d->txtPopulation, v.population);
    set(d->txtSummaryPopulation, v.population1);
    set(d->txtReportAge, v.reportAge);
    set(d->txtResources, v.resources);
    set(d->txtSurfaceBora, v.surfaceBora);
    set(d->txtSurfaceGerm, v.surfaceGerm);
    set(d->txtSurfaceIron, v.surfaceIron);
    set(d->txtCapacity, v.capacity);
    set(d->txtScanner, v.scanner);
    set(d->txtGrav, v.grav);
    set(d->txtTemp, v.temp);
    set(d->txtRad, v.rad);
    d->gravity->setValue(v.gravClicks);
    d->temperature->setValue(v.tempClicks);
    d->radiation->setValue(v.radClicks);
    // The terraform markers show where terraforming brings the planet: the rating after
    // terraforming places them, or the plain rating when there is none.
    const std::optional<HabResult>& placed = v.habTerra ? v.habTerra : v.hab;
    if (placed) {
        d->gravity->setTerraform(placed->markerClicks[0]);
        d->temperature->setTerraform(placed->markerClicks[1]);
        d->radiation->setTerraform(placed->markerClicks[2]);
    }
    if (v.habitability) set(d->txtHabitability, *v.habitability);
    if (v.valueLine) set(d->txtValue, *v.valueLine);
}

void PlanetPanel::showRaceRanges(const RaceRanges& ranges)
{
    d->gravity->setRange(ranges.grav);
    d->temperature->setRange(ranges.temp);
    d->radiation->setRange(ranges.rad);
}

} // namespace vornex::ui
