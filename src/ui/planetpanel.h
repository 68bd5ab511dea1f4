#pragma once
// The planet panel above the race editor: your race, the selected planet's coordinates, minerals on
// hand, status figures, habitability, distance, and below them the planet's summary, its
// environment against your race's ranges and its mineral chart. It shows what the core's panel
// result says, turning clicks and fractions into pixels itself; its controls carry their names as
// objectName.

#include <QWidget>

#include <memory>

#include "analysis/panel.h"

namespace vornex::ui {

class PlanetPanel : public QWidget {
    Q_OBJECT
public:
    explicit PlanetPanel(QWidget* parent = nullptr);
    ~PlanetPanel() override;

    // Fills the panel from a planet's values. A planet never reported shows its title and
    // coordinates and the cover instead of the details; a figure that could not be worked out
    // shows empty. Nothing of the planet shown before stays.
    void showPlanet(const PanelValues& values);
    // No planet is selected: every figure empty, the cover over the details.
    void showNoPlanet();
    // Places your race's three ranges on the environment strips (a range that is nullopt shows none).
    void showRaceRanges(const RaceRanges& ranges);
    void setYourRace(const QString& name);
    void setDistanceText(const QString& text);

private:
    void clearFigures();

    struct Widgets;
    std::unique_ptr<Widgets> d;
};

} // namespace vornex::ui
