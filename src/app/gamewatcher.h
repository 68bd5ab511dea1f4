#pragma once
// Watches the game folder and the files a turn is read from, and says so once writing has been
// quiet for a while: a file still being written is never reported. Other files of the folder (a
// chat log, a sync program's temporary files) never hold it back. When the folder goes away it
// says that following has stopped, looks for the folder again now and then, and says when
// following resumes.

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <map>

namespace vornex {

class GameWatcher : public QObject {
    Q_OBJECT
public:
    // What the watched files look like at one moment.
    struct Stamp {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };
    using Snapshot = std::map<QString, Stamp>;

    explicit GameWatcher(QObject* parent = nullptr);

    // Starts watching folder and files afresh (files that do not exist yet are watched through
    // the folder); what they hold now counts as seen.
    void watch(const QString& folder, const QStringList& files);
    // The watched files as they are now: taken before they are read.
    Snapshot snapshot() const;
    // The watched files that differ from the snapshot now.
    QStringList changedSince(const Snapshot& before) const;
    // The files were read as they were in `before`: that counts as seen. A change since then
    // starts the quiet period again, so that it is read too.
    void markSeen(const Snapshot& before);
    // What one file (written by the program itself) holds now counts as seen.
    void markFileSeen(const QString& file);
    // The files were not read for good (still being written): the quiet period starts again and
    // turnFilesChanged follows when it ends, even without another change.
    void waitAgain();

    // How long writing must have been quiet before turnFilesChanged (about a second).
    void setQuietInterval(int ms);
    int quietInterval() const;
    // How often a missing game folder is looked for (about two seconds).
    void setFolderCheckInterval(int ms);

    // A change was noticed: when a watched file changed, the quiet period starts again. Called by
    // the file system watcher.
    void noteChange();
    // The quiet period ended: when the files still look as they did at the last change and differ
    // from what was seen, turnFilesChanged is emitted; when they moved on, the quiet period starts
    // again. Called by the timer.
    void quietPeriodEnded();
    // Looks whether a missing game folder is back. Called by a timer while it is missing.
    void checkFolder();
    bool waiting() const;
    // False while the game folder is missing.
    bool following() const { return m_following; }

signals:
    void turnFilesChanged();
    void followingStopped(const QString& folder);
    void followingResumed(const QString& folder);

private:
    void rewatch();
    bool folderThere() const;

    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QTimer m_folderCheck;
    QString m_folder;
    QStringList m_files;
    Snapshot m_seen;        // what the last reload read
    Snapshot m_lastNoticed; // at the last change
    bool m_following = true;
    bool m_readAgain = false; // the last read was not for good
};

} // namespace vornex
