#include "app/gamewatcher.h"

#include <QFileInfo>

namespace vornex {

GameWatcher::GameWatcher(QObject* parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(1000);
    m_folderCheck.setInterval(2000);
    connect(&m_quiet, &QTimer::timeout, this, &GameWatcher::quietPeriodEnded);
    connect(&m_folderCheck, &QTimer::timeout, this, &GameWatcher::checkFolder);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &GameWatcher::noteChange);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &GameWatcher::noteChange);
}

void GameWatcher::watch(const QString& folder, const QStringList& files)
{
    m_quiet.stop();
    m_folder = folder;
    m_files = files;
    m_readAgain = false;
    m_following = true;
    m_folderCheck.stop();
    rewatch();
    m_seen = snapshot();
    m_lastNoticed = m_seen;
    if (!folderThere()) {
        m_following = false;
        m_folderCheck.start();
        emit followingStopped(m_folder);
    }
}

void GameWatcher::markSeen(const Snapshot& before)
{
    m_seen = before;
    m_readAgain = false;
    if (!changedSince(before).isEmpty()) {
        m_lastNoticed = snapshot();
        m_quiet.start();
    }
}

void GameWatcher::markFileSeen(const QString& file)
{
    const Snapshot now = snapshot();
    auto it = now.find(file);
    if (it == now.end()) return;
    m_seen[file] = it->second;
    m_lastNoticed[file] = it->second;
}

void GameWatcher::waitAgain()
{
    m_readAgain = true;
    m_lastNoticed = snapshot();
    m_quiet.start();
}

QStringList GameWatcher::changedSince(const Snapshot& before) const
{
    QStringList changed;
    for (const auto& [file, stamp] : snapshot()) {
        auto it = before.find(file);
        if (it == before.end() || !(it->second == stamp)) changed << file;
    }
    return changed;
}

void GameWatcher::setQuietInterval(int ms)
{
    m_quiet.setInterval(ms);
}

int GameWatcher::quietInterval() const
{
    return m_quiet.interval();
}

void GameWatcher::setFolderCheckInterval(int ms)
{
    m_folderCheck.setInterval(ms);
}

bool GameWatcher::waiting() const
{
    return m_quiet.isActive();
}

bool GameWatcher::folderThere() const
{
    return QFileInfo(m_folder).isDir();
}

void GameWatcher::rewatch()
{
    // Watched afresh every time: a file replaced by renaming, or a folder removed and made again,
    // leaves a watch on what is gone, and a file created later was never in it.
    if (!m_watcher.files().isEmpty()) m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty()) m_watcher.removePaths(m_watcher.directories());
    if (m_folder.isEmpty() || !folderThere()) return;
    m_watcher.addPath(m_folder);
    QStringList present;
    for (const QString& f : m_files)
        if (QFileInfo::exists(f)) present << f;
    if (!present.isEmpty()) m_watcher.addPaths(present);
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
    if (!folderThere()) {
        if (m_following) {
            m_following = false;
            m_quiet.stop();
            m_folderCheck.start();
            emit followingStopped(m_folder);
        }
        return;
    }
    const Snapshot now = snapshot();
    // Other files of the folder changed: whatever was under way goes on as it was.
    if (now == m_lastNoticed) return;
    m_lastNoticed = now;
    m_quiet.start();
}

void GameWatcher::quietPeriodEnded()
{
    m_quiet.stop();
    if (!m_following) return;
    rewatch();
    const Snapshot now = snapshot();
    if (now != m_lastNoticed) {
        // Still being written (or a change whose notice has not arrived yet): wait again.
        m_lastNoticed = now;
        m_quiet.start();
        return;
    }
    if (now == m_seen && !m_readAgain) return; // nothing new since the last read
    emit turnFilesChanged();
}

void GameWatcher::checkFolder()
{
    if (m_following || !folderThere()) return;
    m_folderCheck.stop();
    m_following = true;
    rewatch();
    emit followingResumed(m_folder);
    // What came with the folder is read as any change is.
    m_lastNoticed = snapshot();
    if (m_lastNoticed != m_seen) m_quiet.start();
}

} // namespace vornex
