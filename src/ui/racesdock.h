#pragma once
// The "Races" dock: per race of the players table, your race first, the planets it owns, their
// population, the sum of their values and how many of them this turn's reports show.

#include <QDockWidget>

class QTableWidget;

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

class RacesDock : public QDockWidget {
    Q_OBJECT
public:
    // Empty until the first refresh().
    explicit RacesDock(const ProgramState& state, QWidget* parent = nullptr);
    // The planets or players changed: count again.
    void refresh();
    QTableWidget* table() const { return m_table; }

private:
    const ProgramState& m_state;
    QTableWidget* m_table = nullptr;
};

} // namespace vornex::ui
