#include "ui/habitabilitytab.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

#include "app/programstate.h"
#include "base/numeric.h"
#include "ui/raceeditor.h"
#include "ui/refusedbox.h"

namespace vornex::ui {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

HabitabilityTab::HabitabilityTab(ProgramState& state, RaceEditorHost& host, std::function<PlayerPtr()> edited,
                                 QWidget* parent)
    : QWidget(parent), m_state(state), m_host(host), m_edited(std::move(edited))
{
    setObjectName(QStringLiteral("Habitability"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    auto caption = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    struct Column {
        const char* header;
        const char* headerText;
        std::array<const char*, 3> rowLabels;
        std::array<const char*, 3> boxes;
    };
    const std::array<Column, 3> columns{{
        {"lblMinimumHeader",
         "Min Value",
         {"lblGravMinCaption", "lblTempMinCaption", "lblRadMinCaption"},
         {"txtGravMin", "txtTempMin", "txtRadMin"}},
        {"lblMaximumHeader",
         "Max Value",
         {"lblGravMaxCaption", "lblTempMaxCaption", "lblRadMaxCaption"},
         {"txtGravMax", "txtTempMax", "txtRadMax"}},
        {"lblTerraformHeader",
         "Terraform",
         {"lblGravTerraCaption", "lblTempTerraCaption", "lblRadTerraCaption"},
         {"txtGravTerra", "txtTempTerra", "txtRadTerra"}},
    }};
    const std::array<const char*, 3> rowTexts{"Grav", "Temp", "Rad"};
    std::array<std::array<QLineEdit*, 3>, 3> boxes{};
    for (int c = 0; c < 3; ++c) {
        grid->addWidget(caption(columns[size_t(c)].header, tr(columns[size_t(c)].headerText)), 0, 2 * c, 1, 2);
        for (int r = 0; r < 3; ++r) {
            grid->addWidget(caption(columns[size_t(c)].rowLabels[size_t(r)], tr(rowTexts[size_t(r)])), r + 1, 2 * c);
            auto* e = new QLineEdit(this);
            e->setObjectName(QLatin1String(columns[size_t(c)].boxes[size_t(r)]));
            // Room for "-200" or "12.34" in the font in use.
            e->setFixedWidth(std::max(45, e->fontMetrics().horizontalAdvance(QStringLiteral("-0000")) + 12));
            grid->addWidget(e, r + 1, 2 * c + 1);
            boxes[size_t(c)][size_t(r)] = e;
        }
    }
    grid->setRowStretch(4, 1);
    m_limitBoxes = {boxes[0][0], boxes[1][0], boxes[0][1], boxes[1][1], boxes[0][2], boxes[1][2]};
    m_terraBoxes = {boxes[2][0], boxes[2][1], boxes[2][2]};
    // Tab walks each row: minimum, maximum, terraform.
    for (int r = 0; r < 3; ++r) {
        setTabOrder(boxes[0][size_t(r)], boxes[1][size_t(r)]);
        setTabOrder(boxes[1][size_t(r)], boxes[2][size_t(r)]);
        if (r < 2) setTabOrder(boxes[2][size_t(r)], boxes[0][size_t(r) + 1]);
    }

    // Each limit is taken when its box loses the focus (or on Return); each terraforming amount on
    // every change of its box.
    for (size_t i = 0; i < m_limitBoxes.size(); ++i) {
        QLineEdit* box = m_limitBoxes[i];
        box->installEventFilter(this);
        connect(box, &QLineEdit::returnPressed, this, [this, i] { commitLimit(static_cast<RaceLimit>(i)); });
    }
    for (size_t i = 0; i < m_terraBoxes.size(); ++i)
        connect(m_terraBoxes[i], &QLineEdit::textChanged, this,
                [this, i](const QString& t) { terraChanged(static_cast<TerraAmount>(i), t); });
}

HabitabilityTab::~HabitabilityTab()
{
    // The boxes outlive this body (the base class deletes them), and focus moves while they go.
    stopWatching();
}

void HabitabilityTab::stopWatching()
{
    if (!m_watching) return;
    m_watching = false;
    for (QLineEdit* box : m_limitBoxes)
        box->removeEventFilter(this);
}

bool HabitabilityTab::eventFilter(QObject* watched, QEvent* event)
{
    if (m_watching && event->type() == QEvent::FocusOut) {
        for (size_t i = 0; i < m_limitBoxes.size(); ++i)
            if (watched == m_limitBoxes[i]) commitLimit(static_cast<RaceLimit>(i));
    }
    return QWidget::eventFilter(watched, event);
}

void HabitabilityTab::showPlayer(const Player& p)
{
    // A limit box has no change handler: what it showed uncommitted is simply replaced. A terraform
    // box's change stores its value into the edited player, which is p.
    setLimitText(RaceLimit::GravMax, qs(num::singleText(p.GravMax)));
    setLimitText(RaceLimit::GravMin, qs(num::singleText(p.GravMin)));
    terraBox(TerraAmount::Grav)->setText(qs(num::intText(p.GravTerra)));
    setLimitText(RaceLimit::TempMax, qs(num::intText(p.TempMax)));
    setLimitText(RaceLimit::TempMin, qs(num::intText(p.TempMin)));
    terraBox(TerraAmount::Temp)->setText(qs(num::intText(p.TempTerra)));
    setLimitText(RaceLimit::RadMax, qs(num::intText(p.RadMax)));
    setLimitText(RaceLimit::RadMin, qs(num::intText(p.RadMin)));
    terraBox(TerraAmount::Rad)->setText(qs(num::intText(p.RadTerra)));
}

void HabitabilityTab::setLimitText(RaceLimit l, const QString& text)
{
    QLineEdit* box = limitBox(l);
    box->setText(text);
    markTaken(box);
}

void HabitabilityTab::refuse(QLineEdit* box, const QString& why)
{
    markRefused(box, why);
    m_host.showStatus(why);
}

void HabitabilityTab::commitLimit(RaceLimit l)
{
    QLineEdit* box = limitBox(l);
    PlayerPtr p = m_edited();
    if (!p) return;
    const LimitCheck check = checkLimit(*p, l, box->text().trimmed().toStdString(), m_state.AllGravities);
    if (!check.refusal.empty()) {
        refuse(box, qs(check.refusal));
        return;
    }
    *p = check.race;
    // Show the value as stored (12.5 degrees is kept as 12).
    const QString stored = qs(check.stored);
    if (box->text() != stored) box->setText(stored);
    markTaken(box);
    m_host.showRaceRanges();
    // A neighbour refused against the old value is tried again against the new one, so that no box
    // shows a value the record does not hold without saying so.
    const RaceLimit other = partnerLimit(l);
    if (isRefused(limitBox(other))) commitLimit(other);
}

void HabitabilityTab::terraChanged(TerraAmount t, const QString& text)
{
    QLineEdit* box = terraBox(t);
    PlayerPtr p = m_edited();
    if (!p) return;
    const TerraCheck check = checkTerraform(*p, t, text.trimmed().toStdString());
    if (!check.refusal.empty()) {
        refuse(box, qs(check.refusal));
        return;
    }
    (t == TerraAmount::Grav ? p->GravTerra : t == TerraAmount::Temp ? p->TempTerra : p->RadTerra) = check.value;
    markTaken(box);
}

void HabitabilityTab::commitFocused()
{
    QWidget* focus = QApplication::focusWidget();
    for (size_t i = 0; i < m_limitBoxes.size(); ++i)
        if (m_limitBoxes[i] == focus) commitLimit(static_cast<RaceLimit>(i));
}

} // namespace vornex::ui
