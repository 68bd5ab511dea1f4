#include "ui/racesdock.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

#include "analysis/races.h"
#include "app/programstate.h"
#include "base/numeric.h"
#include "ui/dialogs.h"

namespace vornex::ui {

RacesDock::RacesDock(const ProgramState& state, QWidget* parent) : QDockWidget(tr("Races"), parent), m_state(state)
{
    setObjectName("dockRaces");
    m_table = new QTableWidget(this);
    m_table->setObjectName("tblRaces");
    m_table->setColumnCount(6);
    m_table->setHorizontalHeaderLabels(
        {tr("Race"), tr("Player"), tr("Planets"), tr("Population"), tr("Value"), tr("Reported this turn")});
    m_table->horizontalHeaderItem(5)->setToolTip(tr("Planets of the race whose report is of this turn (report age 0)"));
    m_table->horizontalHeaderItem(4)->setToolTip(tr("The sum of the values of the race's planets"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    setWidget(m_table);
}

void RacesDock::refresh()
{
    const auto races = raceSummaries(m_state.AllPlanets, m_state.AllPlayers, m_state.yourNumber());
    m_table->setRowCount(int(races.size()));
    for (int row = 0; row < int(races.size()); ++row) {
        const RaceSummary& r = races[size_t(row)];
        auto text = [](const QString& t, bool number) {
            auto* item = new QTableWidgetItem(t);
            item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
            return item;
        };
        // Figures as the panel writes them, whatever the desktop's locale.
        auto figure = [&](long long v) { return text(QString::fromStdString(num::intText(v)), true); };
        QTableWidgetItem* race = text(QString::fromStdString(r.race), false);
        QPixmap swatch(12, 12);
        swatch.fill(colourFromBgr(r.colour));
        race->setIcon(QIcon(swatch));
        if (r.yours) {
            QFont bold = race->font();
            bold.setBold(true);
            race->setFont(bold);
            race->setToolTip(tr("Your race"));
        }
        m_table->setItem(row, 0, race);
        m_table->setItem(row, 1, text(QString("%1 %2").arg(r.number).arg(QString::fromStdString(r.player)), false));
        m_table->setItem(row, 2, figure(r.planets));
        m_table->setItem(row, 3, figure(r.population));
        m_table->setItem(row, 4, figure(r.value));
        m_table->setItem(row, 5, figure(r.reportedThisTurn));
    }
    m_table->resizeColumnsToContents();
    // Opened beside the map, the dock shows every column.
    int width = 2 * m_table->frameWidth();
    for (int c = 0; c < m_table->columnCount(); ++c)
        width += m_table->columnWidth(c);
    m_table->setMinimumWidth(std::min(width, 900));
}

} // namespace vornex::ui
