#pragma once
// The "Changes" dock: what changed between two recorded turns (the last turn by default): planets
// that changed hands, colonies lost and gained, first reports, population and defence jumps, and a
// line per race with the colonies it gained and lost. A click on a row selects its planet.

#include <QDockWidget>
#include <cstdint>
#include <vector>

#include "history/changes.h"
#include "history/historystore.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace vornex::ui {

class ChangesDock : public QDockWidget {
    Q_OBJECT
public:
    explicit ChangesDock(QWidget* parent = nullptr);

    // The turns there are to choose from; keeps the chosen pair when it is still there, otherwise
    // takes the last turn against the one before it.
    void setTurns(const std::vector<history::TurnInfo>& turns);
    // The changes from turn `from` to turn `to`.
    void showChanges(int32_t from, int32_t to, const std::vector<history::Change>& changes);
    // No game history (the store could not be used): why.
    void showUnavailable(const QString& why);

    int32_t fromTurn() const;
    int32_t toTurn() const;
    const std::vector<history::Change>& changes() const { return m_changes; }

signals:
    // The user chose other turns.
    void turnsChosen(int32_t from, int32_t to);
    void planetActivated(int16_t planet);

private:
    void chosen();

    QComboBox* m_from = nullptr;
    QComboBox* m_to = nullptr;
    QLabel* m_summary = nullptr;
    QTableWidget* m_table = nullptr;
    std::vector<history::Change> m_changes;
    bool m_filling = false;
};

} // namespace vornex::ui
