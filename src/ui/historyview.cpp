#include "ui/historyview.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/historyplot.h"

namespace vornex::ui {

using history::HistoryEntry;

HistoryView::HistoryView(QWidget* parent) : QGroupBox(tr("History"), parent)
{
    setObjectName("historyView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    m_lastReported = new QLabel(this);
    m_lastReported->setObjectName("historyLastReported");
    layout->addWidget(m_lastReported);
    m_plot = new HistoryPlot(this);
    layout->addWidget(m_plot);
    m_table = new QTableWidget(0, 6, this);
    m_table->setObjectName("historyTable");
    m_table->setHorizontalHeaderLabels({tr("Turn"), tr("Owner"), tr("Pop."), tr("Value"), tr("Def."), tr("Source")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setMaximumHeight(130);
    layout->addWidget(m_table);
    m_note = new QLineEdit(this);
    m_note->setObjectName("planetNote");
    m_note->setPlaceholderText(tr("Note on this planet"));
    m_note->setToolTip(tr("Your note on the planet: kept with the game's history, shown in the Notes column of "
                          "the Planets table, never written to export files"));
    layout->addWidget(m_note);
    connect(m_note, &QLineEdit::editingFinished, this, [this] {
        if (m_planet != 0 && m_note->isModified()) {
            m_note->setModified(false);
            emit noteEdited(m_planet, m_note->text());
        }
    });
    showPlanet(0, QString());
}

void HistoryView::showPlanet(int16_t planet, const QString& note)
{
    // A note being typed for the planet left is kept before the next one shows.
    if (m_planet != planet && m_planet != 0 && m_note->isModified()) {
        m_note->setModified(false);
        emit noteEdited(m_planet, m_note->text());
    }
    m_planet = planet;
    m_note->setEnabled(planet != 0);
    m_note->setText(note);
    m_note->setModified(false);
    m_lastReported->setText(planet == 0 ? tr("No planet selected") : QString());
    m_table->setRowCount(0);
    m_plot->setTurns({});
}

void HistoryView::showHistory(int16_t planet, const std::vector<HistoryEntry>& entries,
                              const std::function<QColor(const std::string&)>& ownerColour)
{
    if (planet != m_planet) return; // an answer for a planet no longer shown
    std::vector<PlotTurn> turns;
    m_table->setRowCount(int(entries.size()));
    int row = 0;
    // The newest turn first in the table.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it, ++row) {
        const auto& s = it->state;
        const QString cells[] = {QString::number(it->turn),
                                 s.reported ? QString::fromStdString(s.owner) : QString(),
                                 s.reported ? QString::number(s.population) : QString(),
                                 s.reported ? QString::number(s.value) : QString(),
                                 s.reported ? QString::number(s.defences) : QString(),
                                 QString::fromStdString(s.source)};
        for (int col = 0; col < 6; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            if (col != 1 && col != 5) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (it->changed) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            m_table->setItem(row, col, item);
        }
    }
    for (const auto& e : entries)
        turns.push_back({e.turn, e.state.reported, double(e.state.population), double(e.state.value),
                         double(e.state.defences), e.state.reported ? ownerColour(e.state.owner) : QColor()});
    m_plot->setTurns(std::move(turns));
    if (entries.empty()) {
        m_lastReported->setText(tr("Not recorded yet"));
        return;
    }
    const auto& last = entries.back().state;
    if (!last.reported)
        m_lastReported->setText(tr("Never reported (turn %1)").arg(entries.back().turn));
    else if (last.reportedTurn >= 1)
        m_lastReported->setText(tr("last reported in turn %1").arg(last.reportedTurn));
    else
        // Reported before the first turn recorded: its turn has no number of its own.
        m_lastReported->setText(tr("last reported %n year(s) before turn 1", nullptr, 1 - last.reportedTurn));
}

void HistoryView::showUnavailable(const QString& why)
{
    m_lastReported->setText(tr("No history: %1").arg(why));
    m_table->setRowCount(0);
    m_plot->setTurns({});
}

} // namespace vornex::ui
