#include "app/gamechoice.h"

#include <QDir>
#include <QFileInfo>

#include "app/startup.h"
#include "io/settingstable.h"
#include "io/textfile.h"

namespace vornex {

namespace {

constexpr int kRecentCount = 5;

// Why the file cannot be read, in a sentence: `missing` when it is not there, else its name and
// the real reason (a folder the user may not enter, a folder or a pipe under the file's name).
// Empty when it can be read.
QString fileProblem(const QString& folder, const QString& name, const QString& missing)
{
    const std::string why = unreadableReason((folder + name).toStdString());
    if (why.empty()) return {};
    if (why == "file not found") return missing;
    return name + ": " + QString::fromStdString(why) + ".";
}

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// A reason of the core ("a game name cannot ...") as the dialog shows its reasons.
QString sentence(QString reason)
{
    if (!reason.isEmpty()) reason[0] = reason[0].toUpper();
    return reason + '.';
}

} // namespace

QString GameChoiceCheck::reasons() const
{
    QStringList all;
    for (const QString& r : {folder, player, name})
        if (!r.isEmpty()) all << r;
    return all.join(' ');
}

std::string normalFolder(const QString& typed)
{
    QString folder = QDir::fromNativeSeparators(typed.trimmed());
    if (folder.isEmpty()) return {};
    if (folder == "~" || folder.startsWith("~/")) folder = QDir::homePath() + folder.mid(1);
    // Stored absolute: the settings outlive the working folder of the shell that started us.
    folder = QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absolutePath()));
    return withFolderSeparator(folder.toStdString());
}

QString folderProblem(const QString& typed)
{
    const QString dir = qs(normalFolder(typed));
    if (dir.isEmpty()) return QObject::tr("Choose the folder of the game files.");
    if (!QFileInfo(dir).isDir()) return QObject::tr("No such folder.");
    return fileProblem(dir, "gravity.csv", QObject::tr("gravity.csv is not in this folder."));
}

std::optional<PlayerNumber> typedPlayerNumber(const QString& text)
{
    auto n = parsePlayerNumber(text.toStdString(), PlayerText::Typed);
    if (!n || n->number < 1 || n->number > 16) return std::nullopt;
    return n;
}

GameChoiceCheck checkGameChoice(const QString& folder, const QString& playerText, const QString& name)
{
    GameChoiceCheck check;
    check.folder = folderProblem(folder);
    const auto player = typedPlayerNumber(playerText);
    if (!player) check.player = QObject::tr("A player number from 1 to 16.");
    const std::string game = name.trimmed().toStdString();
    if (auto problem = gameNameProblem(game)) {
        check.name = game.empty() ? QObject::tr("Enter the game name.") : sentence(qs(*problem));
        return check;
    }
    if (!check.folder.isEmpty() || !check.player.isEmpty()) return check;
    Game chosen{normalFolder(folder), game, *player};
    const QString report = qs(game + ".p" + player->suffix);
    check.name =
        fileProblem(qs(chosen.folder), report, QObject::tr("No planets report %1 in this folder.").arg(report));
    if (!check.name.isEmpty()) return check;
    check.game = std::move(chosen);
    return check;
}

GameChoiceCheck checkGameChoice(const Game& game)
{
    return checkGameChoice(qs(game.folder), qs(game.player.suffix), qs(game.name));
}

QStringList gameNamesIn(const QString& folder)
{
    QStringList names;
    for (const QFileInfo& f : QDir(qs(normalFolder(folder))).entryInfoList({"*.map"}, QDir::Files, QDir::Name))
        names << f.completeBaseName();
    return names;
}

void storeGameChoice(SettingsStore& settings, const Game& game)
{
    writeGameSettings(settings, game);
}

std::vector<Game> recentGames(const SettingsStore& settings)
{
    std::vector<Game> games;
    for (int i = 1; i <= kRecentCount; ++i) {
        Game g;
        g.folder = readSetting(settings, setting::RecentFolder, i);
        g.name = readSetting(settings, setting::RecentGame, i);
        const auto player = typedPlayerNumber(qs(readSetting(settings, setting::RecentPlayer, i)));
        // A damaged entry is left out rather than offered.
        if (g.folder.empty() || gameNameProblem(g.name) || !player) continue;
        g.player = *player;
        games.push_back(g);
    }
    return games;
}

void rememberGame(SettingsStore& settings, const Game& game)
{
    Game top = game;
    top.folder = withFolderSeparator(top.folder);
    std::vector<Game> games = {top};
    for (const Game& g : recentGames(settings))
        if (!(g == top) && int(games.size()) < kRecentCount) games.push_back(g);
    for (int i = 1; i <= kRecentCount; ++i) {
        const bool has = i <= int(games.size());
        writeSetting(settings, setting::RecentFolder, i, has ? games[i - 1].folder : "");
        writeSetting(settings, setting::RecentPlayer, i, has ? games[i - 1].player.suffix : "");
        writeSetting(settings, setting::RecentGame, i, has ? games[i - 1].name : "");
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

std::optional<QStringList> storedMapLayers(const SettingsStore& settings)
{
    // No list is a line break: nothing stored yet.
    const std::string nothing = "\n";
    const std::string text = readSetting(settings, setting::MapLayers, nothing);
    if (text == nothing) return std::nullopt;
    return QString::fromStdString(text).split(',', Qt::SkipEmptyParts);
}

void storeMapLayers(SettingsStore& settings, const QStringList& layers)
{
    writeSetting(settings, setting::MapLayers, layers.join(',').toStdString());
}

} // namespace vornex
