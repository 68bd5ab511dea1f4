#pragma once
// Sorting and filtering of the planet table by the rules of the core's planet table: numbers sort as
// numbers, texts with letter case ignored, empty cells stay at the end in either direction, and
// equal ratings put the planet nearer your worlds first.

#include <QSortFilterProxyModel>
#include <optional>

#include "analysis/planettable.h"

namespace vornex::ui {

class PlanetsTableModel;

class PlanetsFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit PlanetsFilter(QObject* parent = nullptr);
    void setSourceModel(QAbstractItemModel* model) override;

    // Part of the name, in any case; empty shows every name.
    void setNameFilter(const QString& text);
    // Only planets of this owner; nullopt shows every owner.
    void setOwnerFilter(const std::optional<QString>& owner);
    // Leave out planets never reported.
    void setReportedOnly(bool on);
    // Only colony targets: reported, uninhabited, HabTerra above 0.
    void setTargetsOnly(bool on);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    void refilter();

    const PlanetsTableModel* m_planets = nullptr;
    PlanetFilter m_filter;
};

} // namespace vornex::ui
