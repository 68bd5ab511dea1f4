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

void PlanetsFilter::refilter()
{
    invalidateRowsFilter();
}

void PlanetsFilter::setNameFilter(const QString& text)
{
    m_filter.nameContains = text.trimmed().toStdString();
    refilter();
}

void PlanetsFilter::setOwnerFilter(const std::optional<QString>& owner)
{
    m_filter.owner = owner ? std::optional(owner->toStdString()) : std::nullopt;
    refilter();
}

void PlanetsFilter::setReportedOnly(bool on)
{
    m_filter.reportedOnly = on;
    refilter();
}

void PlanetsFilter::setTargetsOnly(bool on)
{
    m_filter.targetsOnly = on;
    refilter();
}

bool PlanetsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return !m_planets || acceptsRow(m_filter, m_planets->planetRow(sourceRow));
}

bool PlanetsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!m_planets) return QSortFilterProxyModel::lessThan(left, right);
    const PlanetColumn& column = m_planets->column(left.column());
    const PlanetRow& a = m_planets->planetRow(left.row());
    const PlanetRow& b = m_planets->planetRow(right.row());
    // The view reverses the order for a descending sort; what must stay first or last whichever way
    // the column is sorted (figures before empty cells, the nearer of equal ratings) is turned
    // round once more here.
    const bool descending = sortOrder() == Qt::DescendingOrder;
    const bool emptyA = emptyCell(column, a), emptyB = emptyCell(column, b);
    if (emptyA || emptyB) return emptyA != emptyB && emptyB != descending;
    if (const int c = compareCells(column, a, b)) return c < 0;
    const int tie = breakTie(column, a, b);
    return descending ? tie > 0 : tie < 0;
}

} // namespace vornex::ui
