#include "ui/habitabilitytab.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

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
    auto caption = [](QWidget* parent, const char* name, const QString& text, const QRect& box) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(box);
        return l;
    };
    struct Column {
        const char* header;
        const char* headerText;
        std::array<const char*, 3> rowLabels;
        std::array<const char*, 3> boxes;
    };
    const std::array<Column, 3> columns{{
        {"Label12", "Min Value", {"Label18", "Label17", "Label16"}, {"txtGravMin", "txtTempMin", "txtRadMin"}},
        {"Label11", "Max Value", {"Label15", "Label14", "Label13"}, {"txtGravMax", "txtTempMax", "txtRadMax"}},
        {"Label23", "Terraform", {"Label21", "Label20", "Label19"}, {"txtGravTerra", "txtTempTerra", "txtRadTerra"}},
    }};
    const std::array<const char*, 3> rowTexts{"Grav", "Temp", "Rad"};
    std::array<std::array<QLineEdit*, 3>, 3> grid{};
    for (int c = 0; c < 3; ++c) {
        const int left = 4 + 81 * c;
        caption(this, columns[size_t(c)].header, tr(columns[size_t(c)].headerText), QRect(left, 4, 78, 17));
        for (int r = 0; r < 3; ++r) {
            const int top = 24 + 24 * r;
            caption(this, columns[size_t(c)].rowLabels[size_t(r)], tr(rowTexts[size_t(r)]),
                    QRect(left, top + 2, 30, 17));
            auto* e = new QLineEdit(this);
            e->setObjectName(QLatin1String(columns[size_t(c)].boxes[size_t(r)]));
            e->setGeometry(QRect(left + 30, top, 45, 21));
            grid[size_t(c)][size_t(r)] = e;
        }
    }
    m_limitBoxes = {grid[0][0], grid[1][0], grid[0][1], grid[1][1], grid[0][2], grid[1][2]};
    m_terraBoxes = {grid[2][0], grid[2][1], grid[2][2]};
    // Tab walks each row: minimum, maximum, terraform.
    for (int r = 0; r < 3; ++r) {
        setTabOrder(grid[0][size_t(r)], grid[1][size_t(r)]);
        setTabOrder(grid[1][size_t(r)], grid[2][size_t(r)]);
        if (r < 2) setTabOrder(grid[2][size_t(r)], grid[0][size_t(r) + 1]);
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
    m_host.ChangeRaceHabs();
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
