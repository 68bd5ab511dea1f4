#include "ui/changesdock.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/changeslayer.h"

namespace vornex::ui {

using history::Change;

ChangesDock::ChangesDock(QWidget* parent) : QDockWidget(tr("Changes"), parent)
{
    setObjectName("ChangesDock");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    auto* turns = new QHBoxLayout;
    m_from = new QComboBox(body);
    m_from->setObjectName("ChangesFrom");
    m_to = new QComboBox(body);
    m_to->setObjectName("ChangesTo");
    turns->addWidget(new QLabel(tr("From turn"), body));
    turns->addWidget(m_from);
    turns->addWidget(new QLabel(tr("to turn"), body));
    turns->addWidget(m_to);
    turns->addStretch(1);
    layout->addLayout(turns);
    m_summary = new QLabel(body);
    m_summary->setObjectName("ChangesSummary");
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_table = new QTableWidget(0, 4, body);
    m_table->setObjectName("ChangesTable");
    m_table->setHorizontalHeaderLabels({tr("Planet"), tr("Change"), tr("From"), tr("To")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    setWidget(body);

    connect(m_from, &QComboBox::currentIndexChanged, this, &ChangesDock::chosen);
    connect(m_to, &QComboBox::currentIndexChanged, this, &ChangesDock::chosen);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && row < int(m_changes.size())) emit planetActivated(m_changes[size_t(row)].planet);
    });
}

int32_t ChangesDock::fromTurn() const
{
    return m_from->currentData().toInt();
}

int32_t ChangesDock::toTurn() const
{
    return m_to->currentData().toInt();
}

void ChangesDock::setTurns(const std::vector<history::TurnInfo>& turns)
{
    const int32_t from = fromTurn(), to = toTurn();
    const bool wasLast = m_to->count() == 0 || m_to->currentIndex() == m_to->count() - 1;
    m_filling = true;
    m_from->clear();
    m_to->clear();
    m_from->addItem(tr("none"), 0);
    for (const auto& t : turns) {
        const QString text = QString::number(t.turn);
        const QString tip =
            tr("Recorded %1 UTC; %2").arg(QString::fromStdString(t.recordedAt), QString::fromStdString(t.how));
        m_from->addItem(text, t.turn);
        m_from->setItemData(m_from->count() - 1, tip, Qt::ToolTipRole);
        m_to->addItem(text, t.turn);
        m_to->setItemData(m_to->count() - 1, tip, Qt::ToolTipRole);
    }
    // A new turn moves the choice along with it; turns chosen by hand stay chosen.
    const int n = int(turns.size());
    const int toIndex = wasLast ? m_to->count() - 1 : m_to->findData(to);
    const int fromIndex = wasLast ? n - 1 : m_from->findData(from); // index 0 is "none"
    m_to->setCurrentIndex(toIndex >= 0 ? toIndex : m_to->count() - 1);
    m_from->setCurrentIndex(fromIndex >= 0 ? fromIndex : 0);
    m_filling = false;
}

void ChangesDock::chosen()
{
    if (m_filling || m_to->currentIndex() < 0) return;
    emit turnsChosen(fromTurn(), toTurn());
}

void ChangesDock::showChanges(int32_t from, int32_t to, const std::vector<Change>& changes)
{
    m_changes = changes;
    m_table->setRowCount(int(changes.size()));
    for (int row = 0; row < int(changes.size()); ++row) {
        const Change& c = changes[size_t(row)];
        const QString cells[] = {QString::fromStdString(c.name), tr(history::kindWord(c.kind)),
                                 QString::fromStdString(c.from), QString::fromStdString(c.to)};
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            item->setToolTip(QString::fromStdString(c.text));
            if (col == 1) item->setForeground(ChangesLayer::colourOf(c.kind).darker(130));
            m_table->setItem(row, col, item);
        }
    }
    QStringList races;
    for (const auto& [race, tally] : history::raceTallies(changes))
        races << tr("%1 +%2 −%3").arg(QString::fromStdString(race)).arg(tally.gained).arg(tally.lost);
    const QString turns = from > 0 ? tr("Turn %1 to turn %2").arg(from).arg(to) : tr("Turn %1").arg(to);
    m_summary->setText(changes.empty()
                           ? tr("%1: no changes.").arg(turns)
                           : tr("%1: %n change(s).", nullptr, int(changes.size())).arg(turns) +
                                 (races.isEmpty() ? QString() : "\n" + tr("Colonies: %1").arg(races.join(", "))));
}

void ChangesDock::showUnavailable(const QString& why)
{
    m_changes.clear();
    m_table->setRowCount(0);
    m_summary->setText(tr("No history: %1").arg(why));
}

} // namespace vornex::ui
