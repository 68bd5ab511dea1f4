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
    explicit PlanetsDock(const ProgramState& state, QWidget* parent = nullptr);

    // The planets were loaded again: rebuild the rows and the owner choice.
    void refresh();
    // The map selected planet id: select its row (when it is shown) and update the distances,
    // without reporting the selection back.
    void showSelected(int16_t id);

    // Writes the rows shown, in the order shown, as the report tool's CSV; an empty text on
    // success, otherwise why not.
    QString saveCsv(const QString& path) const;
    // Save as CSV with a chosen name: ".csv" added when the name has none; says where it went.
    void saveCsvAs(const QString& chosen);
    // Shows only colony targets (reported, uninhabited, HabTerra above 0), best HabTerra first and
    // the nearer to your worlds first among equals; off, the filters and order chosen before.
    void showTargets(bool on);

    QTableView* table() const { return m_table; }
    PlanetsFilter* filter() const { return m_filter; }

signals:
    // The user picked the row of this planet.
    void planetActivated(int16_t id);
    // A text for the status bar: what was saved where.
    void saved(const QString& text);

private:
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
};

} // namespace vornex::ui
