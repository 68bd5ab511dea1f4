#pragma once
// The loaded planets as a table: one row per planet, in the columns of the core's planet table
// that the window shows, with the texts and tooltips that table gives.

#include <QAbstractTableModel>
#include <vector>

#include "analysis/planettable.h"

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

class PlanetsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Positions of the window's columns (the columns of planetColumns() that it shows, in order).
    enum Column {
        Id = int(PlanetColumnId::Id),
        Name = int(PlanetColumnId::Name),
        X = int(PlanetColumnId::X),
        Y = int(PlanetColumnId::Y),
        Owner = int(PlanetColumnId::Owner),
        ReportAge = int(PlanetColumnId::ReportAge),
        Population = int(PlanetColumnId::Population),
        Value = int(PlanetColumnId::Value),
        Hab = int(PlanetColumnId::Hab),
        HabTerra = int(PlanetColumnId::HabTerra),
        Distance = int(PlanetColumnId::Distance),
        NearOwn = int(PlanetColumnId::NearOwn),
    };

    // Empty until the first refresh(): the window fills it once its load steps are done.
    explicit PlanetsTableModel(const ProgramState& state, QObject* parent = nullptr);

    // Builds every row again from the state's planets (after loading).
    void refresh();
    // The distances from the state's selected planet, after a new selection.
    void updateDistances();

    const PlanetRow& planetRow(int row) const { return m_rows[size_t(row)]; }
    // The definition of the column at this position.
    const PlanetColumn& column(int position) const { return *m_columns[size_t(position)]; }
    // The position of a column, or -1 when the window does not show it.
    int positionOf(PlanetColumnId id) const;
    // The row of the planet with this number, or -1.
    int rowOfPlanet(int16_t id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const ProgramState& m_state;
    std::vector<const PlanetColumn*> m_columns;
    std::vector<PlanetRow> m_rows;
};

} // namespace vornex::ui
