#pragma once
// Which game the window follows: the folder of the game files, the player and the game name, as
// start-up checks them, and the list of games opened lately.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/interfaces.h"

namespace vornex {

struct GameChoice {
    QString folder; // ends in a path separator once normalised
    int16_t player = 0;
    QString game;
    bool operator==(const GameChoice&) const = default;
};

// Why each part of a choice cannot be opened; an empty text where the part is fine.
struct GameChoiceCheck {
    QString folder, player, game;
    bool ok() const { return folder.isEmpty() && player.isEmpty() && game.isEmpty(); }
};

// The folder with its final separator, as start-up expects it.
QString withSeparator(const QString& folder);

// A whole number from 1 to 16, or nullopt.
std::optional<int16_t> playerNumber(const QString& text);

// Start-up's tests on typed values: the folder holds gravity.csv, the player is a whole number
// from 1 to 16, the game's planets report GAME.pN is in the folder. A part that cannot be checked
// because an earlier one failed is left empty.
GameChoiceCheck checkGameChoice(const QString& folder, const QString& playerText, const QString& game);

// Base names of the *.map files in the folder, sorted.
QStringList gameNamesIn(const QString& folder);

// Makes the choice the one start-up finds without asking.
void storeGameChoice(SettingsStore& settings, const GameChoice& choice);

// The games opened lately, the latest first (at most five).
std::vector<GameChoice> recentGames(const SettingsStore& settings);
// Puts the choice on top of the list, dropping an earlier entry of the same game and the oldest
// beyond five.
void rememberGame(SettingsStore& settings, const GameChoice& choice);

// The main window's dock layout (QMainWindow::saveState) as text.
QByteArray storedWindowLayout(const SettingsStore& settings);
void storeWindowLayout(SettingsStore& settings, const QByteArray& layout);
// Its place and size (QWidget::saveGeometry) as text.
QByteArray storedWindowGeometry(const SettingsStore& settings);
void storeWindowGeometry(SettingsStore& settings, const QByteArray& geometry);

} // namespace vornex
