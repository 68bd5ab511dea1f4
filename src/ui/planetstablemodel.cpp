#include "ui/planetstablemodel.h"

#include "app/programstate.h"

namespace vornex::ui {

PlanetsTableModel::PlanetsTableModel(const ProgramState& state, QObject* parent)
    : QAbstractTableModel(parent), m_state(state)
{
    for (const PlanetColumn& c : planetColumns())
        if (c.inWindow) m_columns.push_back(&c);
}

void PlanetsTableModel::refresh()
{
    beginResetModel();
    PlayerPtr race = m_state.yourPlayer();
    PlanetPtr from = m_state.selectedPlanet();
    m_rows = planetRows(m_state.AllPlanets, race.get(), m_state.AllGravities, from.get());
    endResetModel();
}

void PlanetsTableModel::updateDistances()
{
    if (m_rows.empty()) return;
    PlanetPtr from = m_state.selectedPlanet();
    setDistances(m_rows, from.get());
    const int distance = positionOf(PlanetColumnId::Distance);
    emit dataChanged(index(0, distance), index(rowCount() - 1, distance), {Qt::DisplayRole});
}

int PlanetsTableModel::positionOf(PlanetColumnId id) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i]->id == id) return int(i);
    return -1;
}

int PlanetsTableModel::rowOfPlanet(int16_t id) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id) return int(i);
    return -1;
}

int PlanetsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlanetsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant PlanetsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const PlanetRow& r = m_rows[size_t(index.row())];
    const PlanetColumn& c = column(index.column());
    switch (role) {
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (c.numeric ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::DisplayRole: {
        // The core's text, not a number the view would write in the desktop's locale.
        const std::string text = shownText(c, r);
        return text.empty() ? QVariant() : QVariant(QString::fromStdString(text));
    }
    case Qt::ToolTipRole: {
        const std::string tip = cellTip(c, r);
        return tip.empty() ? QVariant() : QVariant(QString::fromStdString(tip));
    }
    default:
        return {};
    }
}

QVariant PlanetsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const PlanetColumn& c = column(section);
    if (role == Qt::DisplayRole) return tr(c.title);
    // The header's first click on a rating, population or value sorts the best first.
    if (role == Qt::InitialSortOrderRole) return int(c.highestFirst ? Qt::DescendingOrder : Qt::AscendingOrder);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace vornex::ui
