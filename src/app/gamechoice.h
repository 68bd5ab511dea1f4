#pragma once
// Which game the window follows, as the user types it (the first start, the Open Game dialog, the
// command line), checked as start-up checks it, and the list of games opened lately.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "io/game.h"
#include "io/interfaces.h"

namespace vornex {

// Why each part of a typed game cannot be opened; an empty text where the part is fine. `game` is
// the game itself once all three parts are fine.
struct GameChoiceCheck {
    QString folder, player, name;
    std::optional<Game> game;
    bool ok() const { return game.has_value(); }
    // The reasons in one line.
    QString reasons() const;
};

// The folder as typed made into the game folder: blanks around it left out, "~" at its start the
// user's home, a relative folder taken from the working folder, with its final separator. Empty
// for an empty text.
std::string normalFolder(const QString& typed);

// Why the folder cannot be a game folder, or an empty text: it is empty, is no folder, or has no
// gravity.csv.
QString folderProblem(const QString& typed);

// A player number as the user types it: a whole number from 1 to 16. nullopt otherwise.
std::optional<PlayerNumber> typedPlayerNumber(const QString& text);

// Start-up's tests on typed values: the folder holds gravity.csv, the player is a whole number
// from 1 to 16, the game name stays inside the folder and the game's planets report is there. A
// part that cannot be checked because an earlier one failed is left empty.
GameChoiceCheck checkGameChoice(const QString& folder, const QString& playerText, const QString& name);
// The same for a game as stored.
GameChoiceCheck checkGameChoice(const Game& game);

// Base names of the *.map files in the folder, sorted.
QStringList gameNamesIn(const QString& folder);

// Makes the game the one start-up finds without asking.
void storeGameChoice(SettingsStore& settings, const Game& game);

// The games opened lately, the latest first (at most five).
std::vector<Game> recentGames(const SettingsStore& settings);
// Puts the game on top of the list, dropping an earlier entry of the same game and the oldest
// beyond five.
void rememberGame(SettingsStore& settings, const Game& game);

// The main window's dock layout (QMainWindow::saveState) as text.
QByteArray storedWindowLayout(const SettingsStore& settings);
void storeWindowLayout(SettingsStore& settings, const QByteArray& layout);
// Its place and size (QWidget::saveGeometry) as text.
QByteArray storedWindowGeometry(const SettingsStore& settings);
void storeWindowGeometry(SettingsStore& settings, const QByteArray& geometry);
// The names of the map layers shown; nullopt when none were ever stored.
std::optional<QStringList> storedMapLayers(const SettingsStore& settings);
void storeMapLayers(SettingsStore& settings, const QStringList& layers);

} // namespace vornex
