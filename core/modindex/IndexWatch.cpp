#include "core/modindex/IndexWatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace marlix {

namespace {

// A watch costs more the more paths are watched already (the watcher looks each new one up in
// its list): a hundred at a time keep a step of a mod's thousands of scripts to a few ms.
constexpr qsizetype PathsPerStep = 100;

QStringList take(QStringList &paths) {
    const qsizetype count = std::min(PathsPerStep, paths.size());
    QStringList taken = paths.mid(paths.size() - count);
    paths.resize(paths.size() - count);
    return taken;
}

} // namespace

IndexWatch::IndexWatch(QObject *parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_steps(new QTimer(this)) {
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &IndexWatch::fileChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &IndexWatch::folderChanged);
    m_steps->setInterval(0);
    connect(m_steps, &QTimer::timeout, this, &IndexWatch::step);
}

void IndexWatch::watch(const QStringList &files, const QStringList &folders) {
    m_wanted = QSet<QString>(files.begin(), files.end());
    m_wanted.unite(QSet<QString>(folders.begin(), folders.end()));
    m_toAdd = (m_wanted - m_watched).values();
    m_toRemove = (m_watched - m_wanted).values();
    if (!isSettled())
        m_steps->start();
}

void IndexWatch::rewatch(const QString &file) {
    if (!m_watched.contains(file) || m_watcher->files().contains(file))
        return;
    if (!QFileInfo::exists(file) || !m_watcher->addPath(file))
        m_watched.remove(file); // a later watch() sets it again once the file is back
}

void IndexWatch::step() {
    if (!m_toRemove.isEmpty()) {
        const QStringList paths = take(m_toRemove);
        m_watcher->removePaths(paths);
        for (const QString &path : paths)
            m_watched.remove(path);
    } else if (!m_toAdd.isEmpty()) {
        const QStringList paths = take(m_toAdd);
        const QStringList failedList = m_watcher->addPaths(paths);
        const QSet<QString> failed(failedList.begin(), failedList.end());
        QStringList set;
        for (const QString &path : paths) {
            if (!failed.contains(path)) {
                m_watched.insert(path);
                set.append(path);
            }
        }
        emit filesWatched(set);
    }
    if (isSettled())
        m_steps->stop();
}

} // namespace marlix
