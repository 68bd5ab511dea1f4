#pragma once
// The planet panel on the left of the map window: your race, the selected planet's coordinates,
// minerals on hand, status figures, habitability, distance, and below them the planet's summary,
// its environment against your race's ranges and its mineral chart. It only shows what the core's
// panel result says; its controls carry their names as objectName.
//
// The panel lies at the top left of the window's client area and keeps the design's window
// coordinates for its controls: its top 40 pixels lie under the toolbar.

#include <QWidget>

#include <memory>

#include "analysis/panel.h"

namespace vornex::ui {

class PlanetPanel : public QWidget {
    Q_OBJECT
public:
    explicit PlanetPanel(QWidget* parent = nullptr);
    ~PlanetPanel() override;

    // Fills the panel from a planet's values. A planet never reported changes only its title and
    // coordinates and shows the cover over the details; a value that could not be computed leaves
    // its control as it was.
    void showPlanet(const PanelValues& values);
    // No planet is selected: every box is emptied (your race's name stays) and the cover lies over
    // the details.
    void showNoPlanet();
    // Places your race's three range bars on the environment strips.
    void showRaceBars(const RaceBars& bars);
    void setYourRace(const QString& name);
    void setDistanceText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Widgets;
    std::unique_ptr<Widgets> d;
};

} // namespace vornex::ui
