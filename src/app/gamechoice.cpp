#include "app/gamechoice.h"

#include <QDir>
#include <QFileInfo>

#include "app/startup.h"
#include "base/numeric.h"
#include "io/settingstable.h"

namespace vornex {

namespace {

constexpr int kRecentCount = 5;

bool isFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

} // namespace

std::optional<int16_t> playerNumber(const QString& text)
{
    const auto v = num::parseStrict(text.trimmed().toStdString());
    if (!v || *v != num::roundHalfEven(*v) || *v < 1 || *v > 16) return std::nullopt;
    return static_cast<int16_t>(*v);
}

QString withSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith('/') || folder.endsWith('\\')) return folder;
    return folder + QDir::separator();
}

GameChoiceCheck checkGameChoice(const QString& folder, const QString& playerText, const QString& game)
{
    GameChoiceCheck check;
    const QString dir = withSeparator(folder.trimmed());
    if (dir.isEmpty())
        check.folder = QObject::tr("Choose the folder of the game files.");
    else if (!QFileInfo(dir).isDir())
        check.folder = QObject::tr("No such folder.");
    else if (!isFile(dir + "gravity.csv"))
        check.folder = QObject::tr("gravity.csv is not in this folder.");

    const auto player = playerNumber(playerText);
    if (!player) check.player = QObject::tr("A player number from 1 to 16.");

    if (game.trimmed().isEmpty())
        check.game = QObject::tr("Enter the game name.");
    else if (check.folder.isEmpty() && check.player.isEmpty() &&
             !isFile(dir + game.trimmed() + ".p" + QString::number(*player)))
        check.game =
            QObject::tr("No planets report %1 in this folder.").arg(game.trimmed() + ".p" + QString::number(*player));
    return check;
}

QStringList gameNamesIn(const QString& folder)
{
    QStringList names;
    for (const QFileInfo& f : QDir(folder).entryInfoList({"*.map"}, QDir::Files, QDir::Name))
        names << f.completeBaseName();
    return names;
}

void storeGameChoice(SettingsStore& settings, const GameChoice& c)
{
    writeGameSettings(settings, withSeparator(c.folder).toStdString(), c.player, c.game.toStdString());
}

std::vector<GameChoice> recentGames(const SettingsStore& settings)
{
    std::vector<GameChoice> games;
    for (int i = 1; i <= kRecentCount; ++i) {
        GameChoice c;
        c.folder = QString::fromStdString(readSetting(settings, setting::RecentFolder, i));
        c.game = QString::fromStdString(readSetting(settings, setting::RecentGame, i));
        const auto player = playerNumber(QString::fromStdString(readSetting(settings, setting::RecentPlayer, i)));
        // A damaged entry is left out rather than offered.
        if (c.folder.isEmpty() || c.game.isEmpty() || !player) continue;
        c.player = *player;
        games.push_back(c);
    }
    return games;
}

void rememberGame(SettingsStore& settings, const GameChoice& choice)
{
    GameChoice top = choice;
    top.folder = withSeparator(top.folder);
    std::vector<GameChoice> games = {top};
    for (const GameChoice& c : recentGames(settings))
        if (!(c == top) && int(games.size()) < kRecentCount) games.push_back(c);
    for (int i = 1; i <= kRecentCount; ++i) {
        const bool has = i <= int(games.size());
        writeSetting(settings, setting::RecentFolder, i, has ? games[i - 1].folder.toStdString() : "");
        writeSetting(settings, setting::RecentPlayer, i, has ? num::intText(games[i - 1].player) : "");
        writeSetting(settings, setting::RecentGame, i, has ? games[i - 1].game.toStdString() : "");
    }
}

QByteArray storedWindowLayout(const SettingsStore& settings)
{
    return QByteArray::fromBase64(QByteArray::fromStdString(readSetting(settings, setting::WindowLayout)));
}

void storeWindowLayout(SettingsStore& settings, const QByteArray& layout)
{
    writeSetting(settings, setting::WindowLayout, layout.toBase64().toStdString());
}

QByteArray storedWindowGeometry(const SettingsStore& settings)
{
    return QByteArray::fromBase64(QByteArray::fromStdString(readSetting(settings, setting::WindowGeometry)));
}

void storeWindowGeometry(SettingsStore& settings, const QByteArray& geometry)
{
    writeSetting(settings, setting::WindowGeometry, geometry.toBase64().toStdString());
}

} // namespace vornex
