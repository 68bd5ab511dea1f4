#pragma once
// A small plot of one planet's turns: population, value and defences as three lines, each scaled
// to its own range, and along the bottom a strip in the owner's colour for every turn.

#include <QColor>
#include <QWidget>
#include <vector>

namespace vornex::ui {

struct PlotTurn {
    int turn = 0;
    bool reported = false;
    double population = 0, value = 0, defences = 0;
    QColor owner; // invalid: no owner
};

class HistoryPlot : public QWidget {
    Q_OBJECT
public:
    explicit HistoryPlot(QWidget* parent = nullptr);
    void setTurns(std::vector<PlotTurn> turns);
    const std::vector<PlotTurn>& turns() const { return m_turns; }

    static QColor populationColour() { return QColor(60, 140, 230); }
    static QColor valueColour() { return QColor(60, 170, 80); }
    static QColor defencesColour() { return QColor(210, 70, 60); }

    QSize sizeHint() const override { return QSize(280, 110); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<PlotTurn> m_turns;
};

} // namespace vornex::ui
