#pragma once
// The planet panel's "History" view: the selected planet's figures turn by turn, a small plot of
// population, value and defences with the owner's colour along the turns, "last reported in turn
// N", and the player's note on the planet (kept in the game's history, never exported).

#include <QColor>
#include <QGroupBox>
#include <cstdint>
#include <functional>
#include <vector>

#include "history/historystore.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace vornex::ui {

class HistoryPlot;

class HistoryView : public QGroupBox {
    Q_OBJECT
public:
    explicit HistoryView(QWidget* parent = nullptr);

    // Another planet (0: none) is shown; its turns follow with showHistory.
    void showPlanet(int16_t planet, const QString& note);
    int16_t planet() const { return m_planet; }
    // The turns of the planet shown; ownerColour gives a race's colour (invalid for none).
    void showHistory(int16_t planet, const std::vector<history::HistoryEntry>& entries,
                     const std::function<QColor(const std::string&)>& ownerColour);
    // The game's history cannot be used: why.
    void showUnavailable(const QString& why);

    HistoryPlot* plot() const { return m_plot; }

signals:
    // The note of a planet was typed and left (Enter or focus elsewhere).
    void noteEdited(int16_t planet, const QString& text);

private:
    int16_t m_planet = 0;
    QLabel* m_lastReported = nullptr;
    HistoryPlot* m_plot = nullptr;
    QTableWidget* m_table = nullptr;
    QLineEdit* m_note = nullptr;
};

} // namespace vornex::ui
