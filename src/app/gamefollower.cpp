#include "app/gamefollower.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace vornex {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

QString fileName(const std::string& path)
{
    return QFileInfo(qs(path)).fileName();
}

} // namespace

GameFollower::GameFollower(ProgramState& state, QObject* parent)
    : QObject(parent), m_state(state), m_watcher(this), m_reader(readTurn)
{
    connect(&m_watcher, &GameWatcher::turnFilesChanged, this, [this] { reload(false); });
    connect(&m_watcher, &GameWatcher::followingStopped, this, [this](const QString& folder) {
        emit message(tr("Following stopped: the game folder %1 is missing. It is looked for again every few "
                        "seconds.")
                         .arg(QDir::toNativeSeparators(folder)));
    });
    connect(&m_watcher, &GameWatcher::followingResumed, this, [this](const QString& folder) {
        emit message(tr("Following resumed: the game folder %1 is back.").arg(QDir::toNativeSeparators(folder)));
    });
}

void GameFollower::follow()
{
    QStringList files;
    for (const std::string& f : m_state.game.turnFiles())
        files << qs(f);
    m_waits = 0;
    m_watcher.watch(qs(m_state.game.folder), files);
}

void GameFollower::ownFileWritten(const QString& path)
{
    m_watcher.markFileSeen(path);
}

QString GameFollower::reloadedText(const TurnReload& r)
{
    const int n = int(r.changed.size());
    return n == 0   ? tr("Turn files reloaded: no planet changed")
           : n == 1 ? tr("Turn files reloaded: 1 planet changed")
                    : tr("Turn files reloaded: %1 planets changed").arg(n);
}

void GameFollower::reload(bool byHand)
{
    if (byHand && !m_watcher.following()) {
        // The folder may be back: watch it again before reading.
        follow();
    }
    const GameWatcher::Snapshot before = m_watcher.snapshot();
    TurnRead turn = m_reader(m_state.game);
    std::vector<std::string> unfinished = turn.read.unfinished;
    // A file that changed while it was read may have been read half old, half new.
    for (const QString& f : m_watcher.changedSince(before))
        unfinished.push_back(f.toStdString());
    if (!unfinished.empty() && m_waits < kMaxWaits) {
        if (m_waits == 0) emit message(tr("Waiting for %1 to be written completely…").arg(fileName(unfinished[0])));
        ++m_waits;
        m_watcher.waitAgain();
        return;
    }
    const bool gaveUpWaiting = !unfinished.empty();
    m_waits = 0;
    const TurnReload r = applyTurn(m_state, std::move(turn));
    m_watcher.markSeen(before);
    if (!r.ok) {
        emit message(tr("Turn files not reloaded: %1").arg(qs(r.error)));
        return;
    }
    emit turnReloaded(r);
    QString text = reloadedText(r);
    if (gaveUpWaiting)
        text += ". " + tr("%1 was still being written after %2 s and was read as it was.")
                           .arg(fileName(unfinished[0]))
                           .arg(kMaxWaits * m_watcher.quietInterval() / 1000);
    emit message(text);
    std::printf("reloaded %d planets from %s\n", r.planets, m_state.game.folder.c_str());
    std::fflush(stdout);
}

} // namespace vornex
