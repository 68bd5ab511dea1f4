#pragma once
// The loaded planets as a table: one row per planet with the figures of the planet panel.

#include <QAbstractTableModel>
#include <vector>

#include "analysis/planetrows.h"

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

class PlanetsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Id, Name, X, Y, Owner, ReportAge, Population, Value, Hab, HabTerra, Distance, ColumnCount };

    // Empty until the first refresh(): the window fills it once its load steps are done.
    explicit PlanetsTableModel(const ProgramState& state, QObject* parent = nullptr);

    // Builds every row again from the state's planets (after loading).
    void refresh();
    // The distances from the state's selected planet, after a new selection.
    void updateDistances();

    const PlanetRow& planetRow(int row) const { return m_rows[size_t(row)]; }
    // Case-folded names, for sorting by name.
    const std::string& nameKey(int row) const { return m_nameKeys[size_t(row)]; }
    // The row of the planet with this number, or -1.
    int rowOfPlanet(int16_t id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const ProgramState& m_state;
    std::vector<PlanetRow> m_rows;
    std::vector<std::string> m_nameKeys;
};

} // namespace vornex::ui
