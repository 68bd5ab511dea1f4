#include "app/gamewatcher.h"

#include <QFileInfo>

namespace vornex {

GameWatcher::GameWatcher(QObject* parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(1000);
    connect(&m_quiet, &QTimer::timeout, this, &GameWatcher::quietPeriodEnded);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &GameWatcher::noteChange);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &GameWatcher::noteChange);
}

void GameWatcher::watch(const QString& folder, const QStringList& files)
{
    if (!m_watcher.files().isEmpty()) m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty()) m_watcher.removePaths(m_watcher.directories());
    m_quiet.stop();
    m_folder = folder;
    m_files = files;
    rewatch();
    markSeen();
}

void GameWatcher::markSeen()
{
    m_seen = snapshot();
    m_lastNoticed = m_seen;
}

void GameWatcher::setQuietInterval(int ms)
{
    m_quiet.setInterval(ms);
}

int GameWatcher::quietInterval() const
{
    return m_quiet.interval();
}

bool GameWatcher::waiting() const
{
    return m_quiet.isActive();
}

void GameWatcher::rewatch()
{
    // A file replaced by renaming drops out of the watch, and one created later was never in it.
    if (!m_folder.isEmpty() && !m_watcher.directories().contains(m_folder)) m_watcher.addPath(m_folder);
    for (const QString& f : m_files)
        if (QFileInfo::exists(f) && !m_watcher.files().contains(f)) m_watcher.addPath(f);
}

GameWatcher::Snapshot GameWatcher::snapshot() const
{
    Snapshot s;
    for (const QString& f : m_files) {
        const QFileInfo info(f);
        Stamp stamp;
        stamp.exists = info.exists();
        if (stamp.exists) {
            stamp.size = info.size();
            stamp.modified = info.lastModified();
        }
        s[f] = stamp;
    }
    return s;
}

void GameWatcher::noteChange()
{
    rewatch();
    m_lastNoticed = snapshot();
    m_quiet.start();
}

void GameWatcher::quietPeriodEnded()
{
    m_quiet.stop();
    rewatch();
    const Snapshot now = snapshot();
    if (now != m_lastNoticed) {
        // Still being written (or a change whose notice has not arrived yet): wait again.
        m_lastNoticed = now;
        m_quiet.start();
        return;
    }
    if (now == m_seen) return; // only other files of the folder changed
    m_seen = now;
    emit turnFilesChanged();
}

} // namespace vornex
