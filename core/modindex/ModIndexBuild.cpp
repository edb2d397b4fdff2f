#include "core/modindex/ModIndex.h"

#include "core/common/Error.h"
#include "core/modindex/FolderWalk.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModLayout.h"
#include "core/platform/FileStamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <new>
#include <thread>

// Building the mod index: finding the scripts and archives, reading what changed on worker
// threads and swapping the new index in.
namespace marlix {

namespace {

// folder that holds it; an archive elsewhere holds paths counted from its own folder.
QString archiveRoot(const QString &archive) {
    QString folder = folderOf(archive);
    for (QString dir = folder; !dir.isEmpty(); dir = folderOf(dir))
        if (QFileInfo(dir).fileName().compare(QLatin1String("archives"), Qt::CaseInsensitive) == 0)
            return folderOf(dir);
    return folder;
}

struct FoundFile {
    QString path;
    qint64 size = 0;
    qint64 modified = 0;
};

bool sameTime(const FoundFile &found, qint64 size, qint64 modified) {
    return found.size == size && found.modified == modified;
}

// Runs `work(i)` for i in [0, count) on as many threads as the machine has cores.
template <typename Work> void runOnWorkers(int count, Work work) {
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int i = next++; i < count; i = next++)
            work(i);
    };
    const int threads = std::max(1, std::min(QThread::idealThreadCount(), count));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread &thread : pool)
        thread.join();
}

} // namespace

IndexCacheContents ModIndex::previousContents() const {
    QReadLocker lock(&m_lock);
    IndexCacheContents contents;
    for (size_t id = 0; id < m_state.files.size(); ++id)
        if (m_state.alive[id])
            contents.files.append(m_state.files[id]);
    contents.archives = m_state.archives;
    if (contents.files.isEmpty() && contents.archives.isEmpty() && !m_cacheFile.isEmpty())
        readIndexCache(m_cacheFile, m_table.fingerprint(), contents);
    return contents;
}

BuildStats ModIndex::build(const QStringList &folderList, BuildControl *control) {
    return build(folderList, {}, control);
}

BuildStats ModIndex::build(const QStringList &folderList, const QStringList &baseList,
                           BuildControl *control) {
    QStringList folders, baseFolders;
    for (const QString &folder : folderList)
        folders.append(QDir::cleanPath(folder));
    for (const QString &folder : baseList)
        baseFolders.append(QDir::cleanPath(folder));

    QList<FoundFile> scripts, archives;
    const FolderWalk walk = walkFolders(folders + baseFolders, [](const QString &path) {
        return isScriptName(path) || isArchiveName(path);
    });
    for (const QString &path : walk.files) {
        FileStamp stamp;
        if (readFileStamp(path, stamp))
            (isScriptName(path) ? scripts : archives).append({path, stamp.size, stamp.modified});
    }

    // Sorted, so that the first of two definitions of a name is the same on every run.
    auto byPath = [](const FoundFile &a, const FoundFile &b) { return a.path < b.path; };
    std::sort(scripts.begin(), scripts.end(), byPath);
    std::sort(archives.begin(), archives.end(), byPath);

    // What is unchanged since the last build (or the last run) is taken over as it is.
    const IndexCacheContents previous = previousContents();
    QHash<QString, const IndexedFile *> previousScripts;
    QHash<QString, QList<const IndexedFile *>> previousEntries;
    for (const IndexedFile &file : previous.files) {
        if (file.archive.isEmpty())
            previousScripts.insert(file.path, &file);
        else
            previousEntries[file.archive].append(&file);
    }

    BuildStats stats;
    stats.errors = walk.errors;
    stats.notes = walk.notes;
    QList<int> scriptJobs, archiveJobs;
    std::vector<IndexedFile> scriptResults(scripts.size());
    std::vector<QList<IndexedFile>> archiveResults(archives.size());
    for (int i = 0; i < scripts.size(); ++i) {
        const IndexedFile *old = previousScripts.value(scripts[i].path);
        if (old && sameTime(scripts[i], old->size, old->modified))
            scriptResults[i] = *old;
        else
            scriptJobs.append(i);
    }
    for (int i = 0; i < archives.size(); ++i) {
        const auto old = previous.archives.constFind(archives[i].path);
        if (old != previous.archives.constEnd() && sameTime(archives[i], old->first, old->second)) {
            for (const IndexedFile *entry : previousEntries.value(archives[i].path))
                archiveResults[i].append(*entry);
        } else {
            archiveJobs.append(i);
        }
    }
    stats.filesFromCache =
        int(scripts.size() - scriptJobs.size()) + int(archives.size() - archiveJobs.size());

    const int total = int(scriptJobs.size() + archiveJobs.size());
    std::atomic<int> done{0};
    std::vector<QStringList> errors(total);
    const auto readJob = [&](int job) {
        if (job < scriptJobs.size()) {
            const FoundFile &found = scripts[scriptJobs[job]];
            IndexedFile &file = scriptResults[scriptJobs[job]];
            QByteArray bytes;
            if (readFileBytes(found.path, bytes)) {
                file = {found.path,
                        found.path,
                        {},
                        found.size,
                        found.modified,
                        false,
                        scanScript(bytes, m_table)};
            } else {
                errors[job].append(Error::cannotOpen(found.path).text());
            }
        } else {
            const int i = archiveJobs[job - int(scriptJobs.size())];
            archiveResults[i] =
                readArchive(archives[i].path, archives[i].size, archives[i].modified, errors[job]);
        }
    };
    runOnWorkers(total, [&](int job) {
        if (control && control->cancel)
            return;
        // A file too large for the memory left is reported like one that cannot be read: an
        // exception that left a worker thread would end the program, unsaved edits and all.
        try {
            readJob(job);
        } catch (const std::bad_alloc &) {
            const bool script = job < scriptJobs.size();
            const int i = script ? scriptJobs[job] : archiveJobs[job - int(scriptJobs.size())];
            if (script)
                scriptResults[i] = IndexedFile();
            else
                archiveResults[i].clear();
            errors[job].append(QStringLiteral("Not enough memory to read %1")
                                   .arg(script ? scripts[i].path : archives[i].path));
        }
        const int count = ++done;
        if (control && control->progress)
            control->progress(count, total);
    });
    if (control && control->cancel) {
        stats.cancelled = true;
        return stats;
    }
    stats.filesRead = total;
    for (const QStringList &jobErrors : errors)
        stats.errors.append(jobErrors);

    QSet<QString> onDisk;
    for (const IndexedFile &file : scriptResults)
        if (!file.path.isEmpty())
            onDisk.insert(foldPath(file.path));

    // The new index is put together without the lock, so queries go on meanwhile.
    State fresh;
    fresh.folders = folders;
    fresh.baseFolders = baseFolders;
    QHash<QString, QString> roots;
    QSet<QString> baseRoots;
    auto place = [&](IndexedFile &file) {
        placeFile(file, folders, baseFolders, &roots);
        if (file.base)
            baseRoots.insert(file.root);
    };
    for (IndexedFile &file : scriptResults)
        if (!file.path.isEmpty()) {
            place(file);
            fresh.addFile(std::move(file));
        }
    for (int i = 0; i < archives.size(); ++i) {
        fresh.archives.insert(archives[i].path, {archives[i].size, archives[i].modified});
        for (IndexedFile &entry : archiveResults[i]) {
            entry.shadowed = onDisk.contains(foldPath(entry.logicalPath));
            place(entry);
            fresh.addFile(std::move(entry));
        }
    }
    fresh.baseRoots = QStringList(baseRoots.begin(), baseRoots.end());
    fresh.baseRoots.sort();
    stats.files = int(std::count_if(fresh.files.begin(), fresh.files.end(),
                                    [](const IndexedFile &file) { return !file.shadowed; }));
    const bool changed = total > 0 || size_t(previous.files.size()) != fresh.files.size() ||
                         previous.archives.size() != fresh.archives.size();
    IndexCacheContents contents;
    contents.files = QList<IndexedFile>(fresh.files.begin(), fresh.files.end());
    contents.archives = fresh.archives;
    QString cacheFile;
    {
        QWriteLocker lock(&m_lock);
        std::swap(m_state, fresh);
        cacheFile = m_cacheFile;
    }
    if (!cacheFile.isEmpty() && (changed || !QFileInfo::exists(cacheFile)))
        writeIndexCache(cacheFile, m_table.fingerprint(), contents);
    return stats;
}

QList<IndexedFile> ModIndex::readArchive(const QString &path, qint64 size, qint64 modified,
                                         QStringList &errors) const {
    QList<IndexedFile> entries;
    if (!m_archiveReader)
        return entries;
    const QString root = archiveRoot(path);
    // One script's bytes at a time: the reader hands each on and forgets it.
    const auto take = [&](ArchiveScript &&script) {
        const QString name = QFile::decodeName(script.name);
        IndexedFile entry{path + QLatin1Char('/') + name,
                          QDir::cleanPath(root + QLatin1Char('/') + name),
                          path,
                          size,
                          modified,
                          false,
                          scanScript(script.bytes, m_table)};
        entries.append(std::move(entry));
        return true;
    };
    try {
        m_archiveReader(path, take, errors);
    } catch (const Error &e) {
        errors.append(e.text());
        entries.clear();
    }
    return entries;
}

} // namespace marlix
