#pragma once
// Watches the game folder and the files a turn is read from, and says so once writing has been
// quiet for a while: a file still being written is never reported.

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
    explicit GameWatcher(QObject* parent = nullptr);

    // Starts watching folder and files (files that do not exist yet are watched through the
    // folder); what they hold now counts as seen.
    void watch(const QString& folder, const QStringList& files);
    // What the files hold now counts as seen (after a reload by hand).
    void markSeen();

    // How long writing must have been quiet before turnFilesChanged (about a second).
    void setQuietInterval(int ms);
    int quietInterval() const;

    // A change was noticed: the quiet period starts again. Called by the file system watcher.
    void noteChange();
    // The quiet period ended: when the files still look as they did at the last change and differ
    // from what was seen, turnFilesChanged is emitted; when they moved on, the quiet period starts
    // again. Called by the timer.
    void quietPeriodEnded();
    bool waiting() const;

signals:
    void turnFilesChanged();

private:
    struct Stamp {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };
    using Snapshot = std::map<QString, Stamp>;
    Snapshot snapshot() const;
    void rewatch();

    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QString m_folder;
    QStringList m_files;
    Snapshot m_seen;        // what the last reload read
    Snapshot m_lastNoticed; // at the last change
};

} // namespace vornex
