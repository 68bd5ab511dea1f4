#include "ui/planetstablemodel.h"

#include "analysis/view.h"

#include "app/programstate.h"
#include "model/keyfold.h"

namespace vornex::ui {

PlanetsTableModel::PlanetsTableModel(const ProgramState& state, QObject* parent)
    : QAbstractTableModel(parent), m_state(state)
{
}

void PlanetsTableModel::refresh()
{
    beginResetModel();
    m_rows.clear();
    m_nameKeys.clear();
    m_rows.reserve(size_t(m_state.AllPlanets.Count()));
    PlayerPtr race = m_state.yourPlayer();
    PlanetPtr from = m_state.selectedPlanet();
    for (const auto& p : m_state.AllPlanets) {
        m_rows.push_back(vornex::planetRow(*p, race.get(), m_state.AllGravities, from.get()));
        m_nameKeys.push_back(foldKey(p->PlanetName));
    }
    endResetModel();
}

void PlanetsTableModel::updateDistances()
{
    if (m_rows.empty()) return;
    PlanetPtr from = m_state.selectedPlanet();
    for (auto& r : m_rows) {
        r.distance.reset();
        if (!from) continue;
        // The figures the row came from are the planet's: only the reference changed.
        Planet p;
        p.Xcord = r.x;
        p.Ycord = r.y;
        if (auto dist = planetDistance(*from, p)) r.distance = *dist;
    }
    emit dataChanged(index(0, Distance), index(rowCount() - 1, Distance), {Qt::DisplayRole});
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
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanetsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PlanetRow& r = m_rows[size_t(index.row())];
    if (role == Qt::TextAlignmentRole) {
        const bool text = index.column() == Name || index.column() == Owner;
        return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight));
    }
    if (role != Qt::DisplayRole) return {};
    auto optional = [](const std::optional<int>& v) { return v ? QVariant(*v) : QVariant(); };
    switch (index.column()) {
    case Id:
        return r.id;
    case Name:
        return QString::fromStdString(r.name);
    case X:
        return r.x;
    case Y:
        return r.y;
    case Owner:
        return QString::fromStdString(r.owner);
    case ReportAge:
        return r.reportAge;
    case Population:
        return r.population;
    case Value:
        return r.value;
    case Hab:
        return optional(r.hab);
    case HabTerra:
        return optional(r.habTerra);
    case Distance:
        return optional(r.distance);
    default:
        return {};
    }
}

QVariant PlanetsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const names[ColumnCount] = {"ID",         "Name",  "X",   "Y",        "Owner",   "Report age",
                                                   "Population", "Value", "Hab", "HabTerra", "Distance"};
    return section >= 0 && section < ColumnCount ? tr(names[section]) : QVariant();
}

} // namespace vornex::ui
