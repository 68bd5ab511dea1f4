#include "ui/planetsfilter.h"

#include "ui/planetstablemodel.h"

namespace vornex::ui {

PlanetsFilter::PlanetsFilter(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
}

void PlanetsFilter::setSourceModel(QAbstractItemModel* model)
{
    m_planets = qobject_cast<PlanetsTableModel*>(model);
    QSortFilterProxyModel::setSourceModel(model);
}

void PlanetsFilter::setNameFilter(const QString& text)
{
    m_name = text.trimmed();
    invalidateRowsFilter();
}

void PlanetsFilter::setOwnerFilter(const std::optional<QString>& owner)
{
    m_owner = owner ? std::optional(owner->toStdString()) : std::nullopt;
    invalidateRowsFilter();
}

void PlanetsFilter::setReportedOnly(bool on)
{
    m_reportedOnly = on;
    invalidateRowsFilter();
}

bool PlanetsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    if (!m_planets) return true;
    const PlanetRow& r = m_planets->planetRow(sourceRow);
    if (m_reportedOnly && r.reportAge == -1) return false;
    if (m_owner && r.owner != *m_owner) return false;
    return m_name.isEmpty() || QString::fromStdString(r.name).contains(m_name, Qt::CaseInsensitive);
}

bool PlanetsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!m_planets) return QSortFilterProxyModel::lessThan(left, right);
    const PlanetRow& a = m_planets->planetRow(left.row());
    const PlanetRow& b = m_planets->planetRow(right.row());
    // An empty cell is last whichever way the column is sorted: the view reverses the order for a
    // descending sort, so the empty cell must then count as the smaller one.
    auto optionalLess = [&](const std::optional<int>& x, const std::optional<int>& y) {
        if (x && y) return *x < *y;
        if (!x && !y) return false;
        return !x == (sortOrder() == Qt::DescendingOrder);
    };
    switch (left.column()) {
    case PlanetsTableModel::Id:
        return a.id < b.id;
    case PlanetsTableModel::Name: {
        const std::string &ka = m_planets->nameKey(left.row()), &kb = m_planets->nameKey(right.row());
        return ka != kb ? ka < kb : a.name < b.name;
    }
    case PlanetsTableModel::X:
        return a.x < b.x;
    case PlanetsTableModel::Y:
        return a.y < b.y;
    case PlanetsTableModel::Owner:
        return a.owner < b.owner;
    case PlanetsTableModel::ReportAge:
        return a.reportAge < b.reportAge;
    case PlanetsTableModel::Population:
        return a.population < b.population;
    case PlanetsTableModel::Value:
        return a.value < b.value;
    case PlanetsTableModel::Hab:
        return optionalLess(a.hab, b.hab);
    case PlanetsTableModel::HabTerra:
        return optionalLess(a.habTerra, b.habTerra);
    case PlanetsTableModel::Distance:
        return optionalLess(a.distance, b.distance);
    default:
        return false;
    }
}

} // namespace vornex::ui
