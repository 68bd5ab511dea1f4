#include "ui/frmmap.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/numbertext.h"
#include "analysis/numeric.h"
#include "analysis/panel.h"
#include "analysis/view.h"
#include "app/gamechoice.h"
#include "app/gamewatcher.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "app/turnreload.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "io/tables.h"
#include "ui/dialogs.h"
#include "ui/frmexport.h"
#include "ui/opengamedialog.h"
#include "ui/planetsdock.h"

// The icons live in the static library's resources, which need pulling in explicitly.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vornex::ui {

namespace {

const QColor kGrey = colourFromBgr(0x00C0C0C0);
// The black environment strips under the panel: 202 pixels from x = 75.
constexpr int kStripLeft = 75;
constexpr int kStripRight = 75 + 202;

QString bgrCss(int32_t bgr)
{
    return colourFromBgr(bgr).name();
}

// The desktop's colours: a dark theme gives dark panels. On a light theme the panel keeps its
// classic grey.
bool darkTheme()
{
    return QApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor panelColour()
{
    return darkTheme() ? QApplication::palette().color(QPalette::Window) : kGrey;
}

// A coloured caption (the minerals' blue, green and yellow) stays readable on a dark panel: it is
// brought towards white there, keeping its hue.
QString captionCss(int32_t bgr)
{
    QColor c = colourFromBgr(bgr);
    if (!darkTheme()) return c.name();
    auto lift = [](int v) { return v + (255 - v) * 60 / 100; };
    return QColor(lift(c.red()), lift(c.green()), lift(c.blue())).name();
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

// The client area below the menu bar: light grey, with the cut-corner rectangle (Line1 to Line8)
// around the details area of the panel.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.setRenderHint(QPainter::Antialiasing, false);
        const int l = 0, r = 320, t = 352, b = 512, c = 8;
        const QPoint corners[] = {{l + c, t}, {r - c, t}, {r, t + c}, {r, b - c},
                                  {r - c, b}, {l + c, b}, {l, b - c}, {l, t + c}};
        // Light edges top and left, dark ones bottom and right, like the panel's sunken frames.
        for (int i = 0; i < 8; ++i) {
            const bool lit = i == 0 || i >= 6;
            const QColor light = darkTheme() ? panelColour().lighter(170) : QColor(0xff, 0xff, 0xff);
            const QColor shade = darkTheme() ? panelColour().darker(170) : QColor(0x80, 0x80, 0x80);
            p.setPen(QPen(lit ? light : shade, 1));
            p.drawLine(corners[i], corners[(i + 1) % 8]);
        }
    }
};

// The panel's markers. The value marker is a plain "+"; the concentration and terraform markers
// are small shapes centred in their 17 by 13 box, so that the box's centre marks the value.
class MarkerLabel : public QLabel {
public:
    enum class Shape { Concentration, Terraform };
    MarkerLabel(Shape shape, const QColor& colour, QWidget* parent) : QLabel(parent), m_shape(shape), m_colour(colour)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        const double cx = width() / 2.0, cy = height() / 2.0;
        if (m_shape == Shape::Concentration) {
            // A downward wedge whose tip stands on the concentration.
            QPolygonF wedge({QPointF(cx - 4.5, 1.5), QPointF(cx + 4.5, 1.5), QPointF(cx, height() - 1.5)});
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(m_colour);
            p.drawPolygon(wedge);
        } else {
            // An open diamond: the "+" of the value stays visible through it.
            QPolygonF diamond(
                {QPointF(cx, 0.5), QPointF(cx + 6, cy), QPointF(cx, height() - 0.5), QPointF(cx - 6, cy)});
            p.setPen(QPen(m_colour, 2));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(diamond);
        }
    }

private:
    Shape m_shape;
    QColor m_colour;
};

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

struct frmMap::Impl {
    ProgramState& state;
    SettingsStore& settings;
    Prompter& prompter;

    ClientArea* client = nullptr;
    QToolBar* toolbar = nullptr;
    QAction* namesAction = nullptr;
    QActionGroup* modes = nullptr;
    MapSurface* pic = nullptr;
    RaceEditor* raceEditor = nullptr;
    QLabel* picUnknown = nullptr;
    QLabel* pointer = nullptr;
    QPushButton* diagnosticsNote = nullptr;
    QPointer<QWidget> exportDialog;
    // Where the pointer stands on the map (widget pixels), while it is over it.
    std::optional<QPointF> pointerAt;
    bool unloaded = false;
    PlanetsDock* planets = nullptr;
    GameWatcher* watcher = nullptr;
    QMenu* recentGames = nullptr;

    // Panel controls by name.
    QLineEdit *txtDistance{}, *txtHabitability{}, *txtYourRace{}, *txtYourNumber{}, *txtXcord{}, *txtYcord{};
    QLineEdit *txtSurfaceIron{}, *txtSurfaceBora{}, *txtSurfaceGerm{}, *txtMines{}, *txtFactories{};
    QLineEdit *txtPopulation{}, *txtCapacity{}, *txtScanner{}, *txtDef{}, *txtResources{};
    QLineEdit *txtPlanetName{}, *txtValue{}, *txtPopulation1{}, *txtReportAge{}, *txtOwner{};
    QLineEdit *txtGrav{}, *txtTemp{}, *txtRad{};
    QLabel *lblIron{}, *lblBora{}, *lblGerm{};
    QLabel *lblRaceGrav{}, *lblRaceTemp{}, *lblRaceRad{};
    QLabel *lblGrav{}, *lblTemp{}, *lblRad{};
    QLabel *lblTerraGrav{}, *lblTerraTemp{}, *lblTerraRad{};
    // Boranium, Germanium, Ironium: the order of the panel's mineral rows in PanelValues.
    QLabel* lblSurface[3]{};
    QLabel* lblMining[3]{};
    QLabel* lblConc[3]{};

    Impl(ProgramState& s, SettingsStore& st, Prompter& p) : state(s), settings(st), prompter(p) {}
};

frmMap::frmMap(ProgramState& state, SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), d(new Impl(state, settings, prompter))
{
    initResources();
    setObjectName("frmMap");
    setWindowTitle("Map");
    setWindowIcon(QIcon(":/icons/vornex.png"));
    if (!darkTheme()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kGrey);
        pal.setColor(QPalette::Button, kGrey);
        setPalette(pal);
    }

    d->client = new ClientArea(this);
    d->client->setObjectName("clientArea");
    setCentralWidget(d->client);
    QFont panelFont = font();
    panelFont.setPixelSize(11);
    d->client->setFont(panelFont);

    buildMenus();
    buildToolbar();
    d->pic = new MapSurface(state, *this, d->client);
    d->pic->move(327, 40);
    d->pic->resize(490, 431);
    d->pic->installEventFilter(this);
    buildPanel();
    buildFollowing();

    d->pointer = new QLabel(this);
    d->pointer->setObjectName("lblPointer");
    d->pointer->setMinimumWidth(130);
    statusBar()->addPermanentWidget(d->pointer);
    statusBar()->setSizeGripEnabled(true);

    // The design client area is 1016 by 728 below the menu bar, plus the status bar.
    resize(1016, 728 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    load();
    showDiagnosticsNote();
    restoreState(storedWindowLayout(settings));
    d->pic->setFocus();
}

frmMap::~frmMap()
{
    delete d;
}

MapSurface* frmMap::pic() const
{
    return d->pic;
}

void frmMap::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("File");
    QAction* exportAction = file->addAction(tr("&Export"));
    exportAction->setObjectName("Export");
    connect(exportAction, &QAction::triggered, this, [this] {
        if (d->exportDialog) {
            d->exportDialog->raise();
            d->exportDialog->activateWindow();
            return;
        }
        auto* dialog = new frmExport(d->state, this);
        d->exportDialog = dialog;
        dialog->show();
    });
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("Edit");
    QAction* find = edit->addAction(tr("F&ind"));
    find->setObjectName("Find");
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, &frmMap::Find);
}

void frmMap::buildToolbar()
{
    auto* tb = new QToolBar(d->client);
    d->toolbar = tb;
    tb->setObjectName("Toolbar1");
    tb->setGeometry(0, 0, 1016, 40);
    tb->setMovable(false);
    tb->setIconSize(QSize(16, 16));
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tb->setStyleSheet("QToolBar { border: none; border-bottom: 1px solid #808080; spacing: 2px; padding: 2px; }");

    d->modes = new QActionGroup(this);
    d->modes->setExclusive(true);
    auto add = [&](const char* name, const char* icon, const QString& tip) {
        QAction* a = tb->addAction(QIcon(QString(":/icons/%1.png").arg(icon)), tr(name));
        a->setObjectName(name);
        a->setToolTip(tip);
        if (QWidget* w = tb->widgetForAction(a)) w->setObjectName(name);
        return a;
    };
    const char* const modeNames[] = {"Zoom Out", "Zoom In", "Planets", "Move"};
    const char* const modeIcons[] = {"zoomout", "zoomin", "planets", "move"};
    const QString modeTips[] = {tr("Click on the map to zoom out around that point"),
                                tr("Click on the map to zoom in around that point"),
                                tr("Click on the map to select a planet; right-click to measure a distance"),
                                tr("Drag the map with the left button")};
    for (int i = 0; i < 4; ++i) {
        QAction* a = add(modeNames[i], modeIcons[i], modeTips[i]);
        a->setCheckable(true);
        d->modes->addAction(a);
    }
    add("Reset", "reset", tr("Show the default view: zoom 2000 from 0, 0 (Home)"));
    tb->addSeparator();
    d->namesAction = add("Names", "names", tr("Show or hide the planet names"));
    d->namesAction->setCheckable(true);
    tb->addSeparator();
    add("Exit", "exit", tr("Save and close"));

    // The button of the mode in force is down; a restored mode that is no button leaves all up.
    for (QAction* a : d->modes->actions())
        if (a->objectName().toStdString() == d->state.ClickOption) a->setChecked(true);

    connect(tb, &QToolBar::actionTriggered, this, &frmMap::toolbarClicked);
}

void frmMap::toolbarClicked(QAction* action)
{
    const QString name = action->objectName();
    if (name == "Exit") {
        close();
    } else if (name == "Reset") {
        d->pic->resetView();
    } else if (name == "Names") {
        DrawPic();
    } else {
        action->setChecked(true);
        d->state.ClickOption = name.toStdString();
    }
}

void frmMap::buildPanel()
{
    QWidget* c = d->client;
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
                               {"Label5", "Mines", "txtMines", -1},
                               {"Label6", "Factories", "txtFactories", -1}};
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
                              {"Label9", "Scanner Range", "txtScanner", -1},
                              {"Label10", "Defences", "txtDef", -1},
                              {"Label1", "Resources", "txtResources", -1}};
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
            .arg(darkTheme() ? QApplication::palette().color(QPalette::Base).name() : "white"));
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
    d->txtPopulation1 = box(c, "txtPopulation1", QRect(160, 357, 155, 15), false);
    d->txtPopulation1->setText("Population");
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
        {"Label31", "Gravity", "Label22", "lblRaceGrav", "lblGrav", "lblTerraGrav", "txtGrav", 388, 0x00800000,
         0x00FF0000, 13},
        {"Label29", "Temp", "Label25", "lblRaceTemp", "lblTemp", "lblTerraTemp", "txtTemp", 406, 0x00000080, 0x000000FF,
         13},
        {"Label30", "Radiation", "Label24", "lblRaceRad", "lblRad", "lblTerraRad", "txtRad", 424, 0x00008000,
         0x0000FF00, 10},
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
    bar("Label2", QRect(75, 448, 202, 53), 0x00000000);
    const char* const gridNames[] = {"Label36", "Label38", "Label37", "Label35",
                                     "Label34", "Label33", "Label39", "Label32"};
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
        {"Label26", "Boranium", "lblSurfaceBora", "lblMiningBora", "lblConcBora", 469, 469, 468, 0x00008000, 0x0000FF00,
         0x00008000},
        {"Label27", "Germanium", "lblSurfaceGerm", "lblMiningGerm", "lblConcGerm", 486, 487, 486, 0x0000A0A0,
         0x0000FFFF, 0x00008080},
        {"Label28", "Ironium", "lblSurfaceIron", "lblMiningIron", "lblConcIron", 450, 451, 450, 0x00C00000, 0x00FF0000,
         0x00800000},
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
    d->picUnknown = new QLabel(c);
    d->picUnknown->setObjectName("picUnknown");
    // Wide enough to hide the value texts at the right end of the environment rows as well (their
    // boxes reach the map's edge; a sliver of the last planet's values would show beside a
    // 305-wide cover).
    d->picUnknown->setGeometry(8, 359, 327 - 8, 149);
    d->picUnknown->setPixmap(unknownPicture(devicePixelRatioF()));
    d->picUnknown->hide();
    d->picUnknown->raise();

    // The race editor with its own controls (hscNumber, SSTab1, ...).
    d->raceEditor = new RaceEditor(d->state, d->settings, d->prompter, *this, c);
    d->raceEditor->setObjectName("frameRace");
    d->raceEditor->setGeometry(8, 528, 265, 193);

    // A box of the window's design that nothing fills; it would lie over the race editor, so it
    // stays hidden.
    d->txtYourNumber = box(c, "txtYourNumber", QRect(232, 696, 33, 19));
    d->txtYourNumber->hide();
}

void frmMap::load()
{
    auto& s = d->state;
    // 1. The race editor shows your player (its scroll bar's change fills it).
    if (auto* hsc = d->raceEditor->findChild<QScrollBar*>("hscNumber")) {
        if (s.YourNumber >= hsc->minimum() && s.YourNumber <= hsc->maximum()) hsc->setValue(s.YourNumber);
    }
    // 2. Your race's name.
    if (PlayerPtr you = s.yourPlayer()) d->txtYourRace->setText(QString::fromStdString(you->RaceName));
    // 3. No race name is pending.
    d->raceEditor->setRaceNameChanged(false);
    // 4. The selected planet's details and the map.
    if (PlanetPtr p = s.selectedPlanet())
        PlanetInfo(p->Xcord, p->Ycord);
    else
        DrawPic();
    // 5. Your race's ranges.
    ChangeRaceHabs();
}

void frmMap::DrawPic()
{
    d->pic->DrawPic();
}

bool frmMap::CentreMap(const QString& action, int16_t x, int16_t y)
{
    return d->pic->CentreMap(action, x, y);
}

bool frmMap::namesShown() const
{
    return d->namesAction && d->namesAction->isChecked();
}

void frmMap::setDistanceText(const QString& text)
{
    d->txtDistance->setText(text);
}

void frmMap::showStatus(const QString& text)
{
    // Every note reads as a sentence, whoever phrased it (some reasons come from the core in
    // lower case, as parts of longer texts).
    QString sentence = text.trimmed();
    if (sentence.isEmpty()) return;
    sentence[0] = sentence[0].toUpper();
    if (!sentence.endsWith(QLatin1Char('.')) && !sentence.endsWith(QLatin1Char('?')) &&
        !sentence.endsWith(QLatin1Char('!')))
        sentence += QLatin1Char('.');
    statusBar()->showMessage(sentence, 6000);
}

void frmMap::showPointer(const QString& text)
{
    d->pointer->setText(text);
}

bool frmMap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->pic) {
        // The coordinates under a pointer that stands still change with the view (keys, Reset,
        // Find, zoom clicks): every redraw of the map refreshes them.
        switch (event->type()) {
        case QEvent::MouseMove:
            d->pointerAt = static_cast<QMouseEvent*>(event)->position();
            break;
        case QEvent::Leave:
            d->pointerAt.reset();
            break;
        case QEvent::Paint:
            if (d->pointerAt) {
                const QPointF v = d->pic->viewPosition(*d->pointerAt);
                const double mx = std::floor(v.x()) + d->state.XStart;
                const double my = std::floor(v.y()) + d->state.YStart;
                showPointer(tr("X %1   Y %2").arg(mx).arg(my));
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMap::PlanetInfo(int16_t x, int16_t y)
{
    auto& s = d->state;
    if (auto best = nearestPlanet(s.AllPlanets, x, y)) s.PlanetSelected = *best;
    if (d->planets) d->planets->showSelected(s.PlanetSelected);
    PlanetPtr planet = s.selectedPlanet();
    if (!planet) {
        d->picUnknown->show();
        DrawPic();
        return;
    }
    PlayerPtr you = s.yourPlayer();
    const PanelValues v = computePanel(*planet, you.get(), s.AllGravities);
    auto set = [](QLineEdit* e, const std::string& text) {
        e->setText(QString::fromStdString(text));
        e->setCursorPosition(0);
    };
    if (!v.reported) {
        set(d->txtXcord, v.xcord);
        set(d->txtYcord, v.ycord);
        set(d->txtPlanetName, v.title);
        d->picUnknown->show();
        DrawPic();
        return;
    }

    d->picUnknown->hide();
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
    set(d->txtPopulation1, v.population1);
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
    DrawPic();
}

void frmMap::ChangeRaceHabs()
{
    PlayerPtr you = d->state.yourPlayer();
    const RaceBars bars = computeRaceBars(you.get(), d->state.AllGravities);
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
    // The table's ratings are your race's too.
    if (d->planets) d->planets->refresh();
}

void frmMap::tablesReloaded()
{
    if (PlayerPtr you = d->state.yourPlayer()) d->txtYourRace->setText(QString::fromStdString(you->RaceName));
    ChangeRaceHabs();
    DrawPic();
    showDiagnosticsNote();
}

void frmMap::Find()
{
    // Cancel searches for the empty name, like an empty answer.
    const QString typed = askText(this, "Find Planet", "Planet Name").value_or(QString());
    const std::string name = typed.toStdString();
    auto& s = d->state;
    for (const auto& planet : s.AllPlanets) {
        if (planet->PlanetName != name) continue;
        const int16_t x = planet->Xcord, y = planet->Ycord;
        try {
            CentreMap("Move", num::sub16(x, s.XStart), num::sub16(y, s.YStart));
        } catch (const OverflowError&) {
            showStatus(tr("The planet lies too far from the view to centre on it."));
        }
        PlanetInfo(x, y);
        return;
    }
    showMessage(this, "Find Planet", "Not Found");
}

QString frmMap::diagnosticsText() const
{
    QStringList lines;
    for (const Diagnostic& diag : d->state.diagnostics)
        lines << QString::fromStdString(diag.text());
    return lines.join('\n');
}

QString frmMap::fileNote(const Diagnostic& diag, bool fullPath) const
{
    const auto& s = d->state;
    const std::string& path = diag.file;
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    QString note = QString::fromStdString((fullPath ? path : name) + ": " + diag.reason);
    // What the map lacks without the file.
    const std::string game = s.FileLocation + s.GameName;
    auto numbered = [&](const std::string& stem) {
        return path.size() > stem.size() && path.compare(0, stem.size(), stem) == 0 &&
               path.find_first_not_of("0123456789", stem.size()) == std::string::npos;
    };
    if (numbered(game + ".p"))
        note += tr(" \u2014 the map shows the map file and the export files only");
    else if (path == game + ".map")
        note += tr(" \u2014 the map has no planets");
    else if (numbered(s.FileLocation + "export.p"))
        note += tr(" \u2014 its planets are not merged");
    return note;
}

void frmMap::showDiagnosticsNote()
{
    QStringList files;     // whole files that could not be read, by name
    QStringList filePaths; // the same with their folders, for the details
    QStringList lines;
    for (const Diagnostic& diag : d->state.diagnostics) {
        if (diag.line <= 0) {
            files << fileNote(diag, false);
            filePaths << fileNote(diag, true);
        } else {
            lines << QString::fromStdString(diag.text());
        }
    }
    if (files.isEmpty() && lines.isEmpty()) {
        if (d->diagnosticsNote) d->diagnosticsNote->hide();
        return;
    }
    if (!d->diagnosticsNote) {
        d->diagnosticsNote = new QPushButton(this);
        d->diagnosticsNote->setObjectName("cmdLoadNotes");
        d->diagnosticsNote->setFlat(true);
        d->diagnosticsNote->setCursor(Qt::PointingHandCursor);
        d->diagnosticsNote->setStyleSheet(
            QString("QPushButton { color: %1; text-decoration: underline; padding: 0 6px; }")
                .arg(captionCss(0x00000080)));
        d->diagnosticsNote->setToolTip(tr("Show what could not be read"));
        statusBar()->insertPermanentWidget(0, d->diagnosticsNote);
        connect(d->diagnosticsNote, &QPushButton::clicked, this, [this] {
            QStringList heading, list;
            for (const Diagnostic& diag : d->state.diagnostics)
                if (diag.line <= 0) list << fileNote(diag, true);
            if (!list.isEmpty())
                heading << (list.size() == 1 ? tr("1 file could not be read.")
                                             : tr("%1 files could not be read.").arg(list.size()));
            qsizetype skipped = 0;
            for (const Diagnostic& diag : d->state.diagnostics)
                if (diag.line > 0) {
                    list << QString::fromStdString(diag.text());
                    ++skipped;
                }
            if (skipped)
                heading << (skipped == 1 ? tr("1 line could not be read and was skipped.")
                                         : tr("%1 lines could not be read and were skipped.").arg(skipped));
            showDetails(this, tr("Load notes"), heading.join(' '), list);
        });
    }
    QStringList parts;
    if (files.size() == 1)
        parts << files.front();
    else if (files.size() > 1)
        parts << tr("%1 files could not be read").arg(files.size());
    if (lines.size() == 1)
        parts << tr("1 line skipped while loading");
    else if (lines.size() > 1)
        parts << tr("%1 lines skipped while loading").arg(lines.size());
    d->diagnosticsNote->setText(parts.join("; ") + tr(" \u2013 Details\u2026"));
    d->diagnosticsNote->show();
}

void frmMap::applyResizeRule()
{
    // Outer size (frame and title bar included), as 16-bit numbers.
    const QSize outer = frameGeometry().size();
    const auto w = num::tryInt16(outer.width()).value_or(32767);
    const auto h = num::tryInt16(outer.height()).value_or(32767);
    int picWidth = int(MaxSingle(float(w - 337), 10.0f));
    int picHeight = int(MaxSingle(float(h - 81), 10.0f));
    // The status bar takes room the rule does not know of: the map stops above it.
    picHeight = std::max(10, std::min(picHeight, d->client->height() - 40));
    // Likewise a dock beside the map takes width from it.
    picWidth = std::max(10, std::min(picWidth, d->client->width() - 329));
    d->pic->resize(picWidth, picHeight);
    d->toolbar->resize(std::max(1016, d->client->width()), 40);
    DrawPic();
}

void frmMap::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyResizeRule();
}

bool frmMap::savePlayersOrAsk(const QString& discardText)
{
    auto& s = d->state;
    // The race editor's edits live only in memory until this save: a save that fails holds the
    // close (or the change of game) until the user decides.
    for (;;) {
        const WriteResult saved = SavePlayers(s.FileLocation, s.AllPlayers);
        if (saved.ok) return true;
        const QString file = QString::fromStdString(s.FileLocation + "player.inf");
        const SaveFailureAnswer answer = askAfterFailedSave(
            this, tr("Map"),
            tr("The players table %1 could not be saved:\n%2\n\nThe race editor's changes of this session are "
               "only in memory. Retry once the cause is mended, go on without saving them, or cancel to go "
               "back to the map with the changes kept.")
                .arg(file, QString::fromStdString(saved.error)),
            discardText);
        if (answer == SaveFailureAnswer::Retry) continue;
        return answer == SaveFailureAnswer::QuitWithoutSaving;
    }
}

void frmMap::closeEvent(QCloseEvent* event)
{
    if (d->unloaded) {
        event->accept();
        return;
    }
    auto& s = d->state;
    // What the user typed last counts: a limit still in its box is taken, a refused name goes back
    // to the last accepted one. A race name typed but not yet applied is in the player's record:
    // the save below writes it.
    d->raceEditor->commitPending();
    if (!savePlayersOrAsk(tr("Quit without saving"))) {
        event->ignore();
        return;
    }
    d->unloaded = true;
    d->raceEditor->setRaceNameChanged(false);
    // The export dialog works on the tables about to be released.
    if (d->exportDialog) d->exportDialog->close();
    s.AllPlanets = Map();
    s.AllPlayers = Players();
    SaveSettings(s, d->settings);
    rememberGame(d->settings,
                 GameChoice{QString::fromStdString(s.FileLocation), s.YourNumber, QString::fromStdString(s.GameName)});
    storeWindowLayout(d->settings, saveState());
    event->accept();
}

// ---- following a game: open, reload, the planet table, the map as a picture ------------------

void frmMap::buildFollowing()
{
    d->planets = new PlanetsDock(d->state, this);
    addDockWidget(Qt::RightDockWidgetArea, d->planets);
    // Until the user shows it, the window looks as it always did.
    d->planets->hide();
    connect(d->planets, &PlanetsDock::planetActivated, this, &frmMap::selectPlanet);

    QMenu* file = menuBar()->findChild<QMenu*>("File");
    QAction* first = file->actions().value(0);
    QAction* open = new QAction(tr("&Open Game…"), file);
    open->setObjectName("OpenGame");
    open->setShortcut(QKeySequence::Open);
    file->insertAction(first, open);
    connect(open, &QAction::triggered, this, [this] {
        const GameChoice current{QString::fromStdString(d->state.FileLocation), d->state.YourNumber,
                                 QString::fromStdString(d->state.GameName)};
        OpenGameDialog dialog(current, this);
        if (dialog.exec() == QDialog::Accepted) openGame(dialog.choice());
    });
    QAction* image = file->addAction(tr("Save Map &Image…"));
    image->setObjectName("SaveMapImage");
    connect(image, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Save Map Image"),
                                                          QString::fromStdString(d->state.FileLocation) + "map.png",
                                                          tr("PNG images (*.png)"));
        if (path.isEmpty()) return;
        const QString error = saveMapImage(path);
        if (!error.isEmpty())
            showMessage(this, tr("Save Map Image"), tr("%1 could not be saved:\n%2").arg(path, error));
    });
    file->addSeparator();
    d->recentGames = file->addMenu(tr("&Recent Games"));
    d->recentGames->setObjectName("RecentGames");
    fillRecentGames();

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName("View");
    QAction* reload = view->addAction(tr("&Reload"));
    reload->setObjectName("Reload");
    reload->setShortcut(QKeySequence::Refresh);
    reload->setShortcutContext(Qt::WindowShortcut);
    connect(reload, &QAction::triggered, this, &frmMap::reloadTurnFiles);
    QAction* toggle = d->planets->toggleViewAction();
    toggle->setObjectName("ShowPlanets");
    view->addAction(toggle);

    d->watcher = new GameWatcher(this);
    connect(d->watcher, &GameWatcher::turnFilesChanged, this, &frmMap::reloadTurnFiles);
    watchGame();
}

void frmMap::watchGame()
{
    QStringList files;
    for (const std::string& f : turnFiles(d->state))
        files << QString::fromStdString(f);
    d->watcher->watch(QString::fromStdString(d->state.FileLocation), files);
}

void frmMap::fillRecentGames()
{
    d->recentGames->clear();
    int n = 0;
    for (const GameChoice& g : recentGames(d->settings)) {
        ++n;
        QAction* a = d->recentGames->addAction(
            tr("&%1 %2, player %3 (%4)").arg(n).arg(g.game).arg(g.player).arg(QDir::toNativeSeparators(g.folder)));
        a->setObjectName(QString("RecentGame%1").arg(n));
        connect(a, &QAction::triggered, this, [this, g] {
            const GameChoiceCheck check = checkGameChoice(g.folder, QString::number(g.player), g.game);
            if (!check.ok()) {
                showMessage(this, tr("Open Game"),
                            tr("%1 cannot be opened:\n%2").arg(g.game, check.folder + check.player + check.game));
                return;
            }
            openGame(g);
        });
    }
    d->recentGames->setEnabled(n > 0);
}

PlanetsDock* frmMap::planetsDock() const
{
    return d->planets;
}

GameWatcher* frmMap::gameWatcher() const
{
    return d->watcher;
}

void frmMap::reloadTurnFiles()
{
    if (d->unloaded) return;
    auto& s = d->state;
    const TurnReload r = vornex::reloadTurnFiles(s);
    // What is on disk now has been read (or found unreadable): only a later change reloads again.
    d->watcher->markSeen();
    if (!r.ok) {
        showStatus(tr("Turn files not reloaded: %1").arg(QString::fromStdString(r.error)));
        return;
    }
    d->planets->refresh();
    // The selected planet stays selected by its number; the panel shows its new figures.
    if (PlanetPtr p = s.selectedPlanet()) {
        PlanetInfo(p->Xcord, p->Ycord);
    } else {
        DrawPic();
    }
    showDiagnosticsNote();
    showStatus(r.changed == 1 ? tr("Turn files reloaded: 1 planet changed")
                              : tr("Turn files reloaded: %1 planets changed").arg(r.changed));
    std::printf("reloaded %d planets from %s\n", r.planets, s.FileLocation.c_str());
    std::fflush(stdout);
}

bool frmMap::openGame(const GameChoice& game)
{
    auto& s = d->state;
    const GameChoiceCheck check = checkGameChoice(game.folder, QString::number(game.player), game.game);
    if (!check.ok()) {
        showStatus(tr("The game cannot be opened: %1").arg(check.folder + check.player + check.game));
        return false;
    }
    // Leaving the game: its players table is saved as on closing the window.
    if (d->exportDialog) d->exportDialog->close();
    d->raceEditor->commitPending();
    if (!savePlayersOrAsk(tr("Open without saving"))) {
        showStatus(tr("The game was not opened: the players table of this game could not be saved."));
        return false;
    }
    d->raceEditor->setRaceNameChanged(false);
    SaveSettings(s, d->settings);

    const GameChoice before{QString::fromStdString(s.FileLocation), s.YourNumber, QString::fromStdString(s.GameName)};
    rememberGame(d->settings, before);
    storeGameChoice(d->settings, game);
    ProgramState next;
    FixedAnswer noQuestions;
    if (Main(next, d->settings, noQuestions, FileExists) != StartupResult::Ready) {
        // The files went away between the check and the loading: stay with the game shown.
        storeGameChoice(d->settings, before);
        showStatus(tr("The game cannot be opened: its files could not be read."));
        return false;
    }
    s = std::move(next);
    rememberGame(d->settings, game);
    fillRecentGames();

    // A new editor for the new players table: the old one still points at the players left.
    const QRect editorBox = d->raceEditor->geometry();
    delete d->raceEditor;
    d->raceEditor = new RaceEditor(s, d->settings, d->prompter, *this, d->client);
    d->raceEditor->setObjectName("frameRace");
    d->raceEditor->setGeometry(editorBox);
    d->raceEditor->show();
    for (QAction* a : d->modes->actions())
        a->setChecked(a->objectName().toStdString() == s.ClickOption);

    d->planets->refresh();
    load();
    showDiagnosticsNote();
    watchGame();
    showStatus(tr("Opened %1, player %2").arg(game.game).arg(game.player));
    return true;
}

void frmMap::selectPlanet(int16_t id)
{
    auto& s = d->state;
    PlanetPtr p = s.AllPlanets.ByID(id);
    if (!p) return;
    const QPointF at = d->pic->widgetPoint(QPointF(p->Xcord - s.XStart, p->Ycord - s.YStart));
    if (!d->pic->rect().contains(at.toPoint())) {
        try {
            CentreMap("Move", num::sub16(p->Xcord, s.XStart), num::sub16(p->Ycord, s.YStart));
        } catch (const OverflowError&) {
            showStatus(tr("The planet lies too far from the view to centre on it."));
        }
    }
    PlanetInfo(p->Xcord, p->Ycord);
}

QString frmMap::saveMapImage(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!d->pic->image().save(&file, "PNG")) return tr("the image could not be written");
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace vornex::ui
