#pragma once
// Sorting and filtering of the planet table: numbers sort as numbers, names case-folded, and
// planets without a rating (or distance) stay at the end in either direction.

#include <QSortFilterProxyModel>
#include <optional>

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

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const PlanetsTableModel* m_planets = nullptr;
    QString m_name;
    std::optional<std::string> m_owner;
    bool m_reportedOnly = false;
};

} // namespace vornex::ui
