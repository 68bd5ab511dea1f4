#pragma once
// The "Planets" dock: the planet table with its filter row. A row clicked selects that planet on
// the map; a planet selected on the map selects its row.

#include <QDockWidget>
#include <cstdint>

class QTableView;
class QLineEdit;
class QComboBox;
class QCheckBox;

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

class PlanetsTableModel;
class PlanetsFilter;

class PlanetsDock : public QDockWidget {
    Q_OBJECT
public:
    // Empty until the first refresh().
    explicit PlanetsDock(const ProgramState& state, QWidget* parent = nullptr);

    // The planets were loaded again: rebuild the rows and the owner choice. A hidden dock only
    // notes it and rebuilds when it shows or its table is asked for: a galaxy's rows take a while.
    void refresh();
    // The map selected planet id: select its row (when it is shown) and update the distances,
    // without reporting the selection back.
    void showSelected(int16_t id);

    // Writes the rows shown, in the order shown, as the report tool's CSV; an empty text on
    // success, otherwise why not.
    QString saveCsv(const QString& path);
    // Save as CSV with a chosen name: ".csv" added when the name has none; says where it went.
    void saveCsvAs(const QString& chosen);
    // Shows only colony targets (reported, uninhabited, HabTerra above 0), best HabTerra first and
    // the nearer to your worlds first among equals; off, the filters and order chosen before.
    void showTargets(bool on);

    // The table and its filter, with the rows of the planets loaded last.
    QTableView* table();
    PlanetsFilter* filter();

signals:
    // The user picked the row of this planet.
    void planetActivated(int16_t id);
    // A text for the status bar: what was saved where.
    void saved(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Rebuilds the rows when a refresh is owed.
    void ensureFilled();
    void fill();
    void fillOwners();
    void rowPicked();
    void chooseCsvFile();
    void fitColumns();

    const ProgramState& m_state;
    PlanetsTableModel* m_model = nullptr;
    PlanetsFilter* m_filter = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_owner = nullptr;
    QCheckBox* m_reported = nullptr;
    QCheckBox* m_targets = nullptr;
    bool m_syncing = false;
    bool m_columnsSized = false;
    bool m_stale = true;
};

} // namespace vornex::ui
