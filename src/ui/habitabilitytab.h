#pragma once
// The race editor's "Habitability" tab: a 3 by 3 grid of the race's range limits (minimum,
// maximum) and terraforming amounts for gravity, temperature and radiation.

#include <QWidget>

#include <array>
#include <functional>

#include "analysis/racelimits.h"
#include "model/collections.h"

class QLineEdit;

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

class RaceEditorHost;

class HabitabilityTab : public QWidget {
    Q_OBJECT
public:
    // edited gives the player the editor shows (nullptr when none).
    HabitabilityTab(ProgramState& state, RaceEditorHost& host, std::function<PlayerPtr()> edited,
                    QWidget* parent = nullptr);
    ~HabitabilityTab() override;

    // Fills the nine boxes from the player. The terraform boxes store what they show back into the
    // edited player, as every change of theirs does.
    void showPlayer(const Player& p);
    // A limit box that has the focus is committed as if it were left.
    void commitFocused();
    // The boxes stop reacting to focus loss (the editor is going away).
    void stopWatching();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProgramState& m_state;
    RaceEditorHost& m_host;
    std::function<PlayerPtr()> m_edited;
    // Indexed by RaceLimit and TerraAmount.
    std::array<QLineEdit*, 6> m_limitBoxes{};
    std::array<QLineEdit*, 3> m_terraBoxes{};
    bool m_watching = true;

    QLineEdit* limitBox(RaceLimit l) const { return m_limitBoxes[static_cast<size_t>(l)]; }
    QLineEdit* terraBox(TerraAmount t) const { return m_terraBoxes[static_cast<size_t>(t)]; }
    void commitLimit(RaceLimit l);
    void terraChanged(TerraAmount t, const QString& text);
    void setLimitText(RaceLimit l, const QString& text);
    void refuse(QLineEdit* box, const QString& why);
};

} // namespace vornex::ui
