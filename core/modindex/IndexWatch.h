#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

// The scripts and folders of the mod index, watched for changes on disk. A mod has thousands
// of scripts: their watches are set and dropped a few hundred at a time from the event loop,
// so the end of a build does not hold up the keys typed meanwhile, and a rebuild touches only
// the watches of scripts that came or went.
namespace marlix {

class IndexWatch : public QObject {
    Q_OBJECT
public:
    explicit IndexWatch(QObject *parent = nullptr);

    // What is to be watched from now on; what no longer is stops being watched.
    void watch(const QStringList &files, const QStringList &folders);
    // A script saved by replacing it lost its watch with the old file: it is watched again
    // while it is one of those to watch.
    void rewatch(const QString &file);
    // Every watch asked for is set (or could not be).
    bool isSettled() const { return m_toAdd.isEmpty() && m_toRemove.isEmpty(); }

signals:
    void fileChanged(const QString &path);
    void folderChanged(const QString &path);
    // Watches were just set on these files: a change made before is not reported.
    void filesWatched(const QStringList &files);

private:
    void step();

    QFileSystemWatcher *m_watcher;
    QTimer *m_steps;
    QSet<QString> m_wanted;
    QSet<QString> m_watched; // asked of the watcher
    QStringList m_toAdd, m_toRemove;
};

} // namespace marlix
