#include "modindex/ModIndex.h"

#include "common/Error.h"
#include "common/LineFile.h"
#include "editor/WordSearch.h"
#include "modindex/IndexFolders.h"
#include "modindex/RfaScripts.h"
#include "platform/FileStamp.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <thread>

namespace marlix {

namespace {

QString foldPath(const QString &path) {
    return path.toCaseFolded();
}

QString folderOf(const QString &path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

// Archives in a mod's "archives" folder (or below it) hold paths counted from the mod
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

bool readFileBytes(const QString &path, QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return true;
}

bool below(const QString &path, const QStringList &folders) {
    for (const QString &folder : folders)
        if (path.startsWith(folder + QLatin1Char('/')))
            return true;
    return false;
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

ModIndex::ModIndex(CommandTable table)
    : m_table(std::move(table)), m_archiveReader(readRfaScripts) {}

ModIndex::~ModIndex() = default;

void ModIndex::setArchiveReader(ArchiveScriptReader reader) {
    QWriteLocker lock(&m_lock);
    m_archiveReader = std::move(reader);
}

void ModIndex::setCacheFile(const QString &path) {
    QWriteLocker lock(&m_lock);
    m_cacheFile = path;
}

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
    QStringList folders;
    for (const QString &folder : folderList)
        folders.append(QDir::cleanPath(folder));

    QList<FoundFile> scripts, archives;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = QDir::cleanPath(it.next());
            const bool script = isScriptName(path);
            if ((!script && !isArchiveName(path)) || seen.contains(path))
                continue;
            seen.insert(path);
            FileStamp stamp;
            if (readFileStamp(path, stamp))
                (script ? scripts : archives).append({path, stamp.size, stamp.modified});
        }
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
    std::vector<QString> errors(total);
    runOnWorkers(total, [&](int job) {
        if (control && control->cancel)
            return;
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
                errors[job] = Error::cannotOpen(found.path).text();
            }
        } else {
            const int i = archiveJobs[job - int(scriptJobs.size())];
            archiveResults[i] =
                readArchive(archives[i].path, archives[i].size, archives[i].modified, errors[job]);
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
    for (const QString &error : errors)
        if (!error.isEmpty())
            stats.errors.append(error);

    QSet<QString> onDisk;
    for (const IndexedFile &file : scriptResults)
        if (!file.path.isEmpty())
            onDisk.insert(foldPath(file.path));

    // The new index is put together without the lock, so queries go on meanwhile.
    State fresh;
    fresh.folders = folders;
    for (IndexedFile &file : scriptResults)
        if (!file.path.isEmpty())
            fresh.addFile(std::move(file));
    for (int i = 0; i < archives.size(); ++i) {
        fresh.archives.insert(archives[i].path, {archives[i].size, archives[i].modified});
        for (IndexedFile &entry : archiveResults[i]) {
            entry.shadowed = onDisk.contains(foldPath(entry.logicalPath));
            fresh.addFile(std::move(entry));
        }
    }
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
                                         QString &error) const {
    QList<IndexedFile> entries;
    if (!m_archiveReader)
        return entries;
    const QString root = archiveRoot(path);
    try {
        for (const ArchiveScript &script : m_archiveReader(path)) {
            const QString name = QFile::decodeName(script.name);
            IndexedFile entry{path + QLatin1Char('/') + name,
                              QDir::cleanPath(root + QLatin1Char('/') + name),
                              path,
                              size,
                              modified,
                              false,
                              scanScript(script.bytes, m_table)};
            entries.append(std::move(entry));
        }
    } catch (const Error &e) {
        error = e.text();
        entries.clear();
    }
    return entries;
}

int ModIndex::State::addFile(IndexedFile file) {
    const int id = int(files.size());
    ids.insert(file.path, id);
    if (!file.shadowed)
        logical.insert(foldPath(file.logicalPath), id);
    files.push_back(std::move(file));
    alive.push_back(true);
    addToMaps(id);
    return id;
}

void ModIndex::State::dropFile(int id) {
    removeFromMaps(id);
    alive[id] = false;
    ids.remove(files[id].path);
    const QString key = foldPath(files[id].logicalPath);
    if (logical.value(key, -1) == id)
        logical.remove(key);
    files[id] = IndexedFile();
}

void ModIndex::State::addToMaps(int id) {
    const IndexedFile &file = files[id];
    if (file.shadowed)
        return;
    const ScriptScan &scan = file.scan;
    for (int i = 0; i < scan.definitions.size(); ++i) {
        const NameDefinition &d = scan.definitions[i];
        const QByteArray name = foldWord(d.name);
        definitions[name].append({id, i});
        NameCount &entry = familyNames[foldWord(d.family)][name];
        if (entry.count++ == 0)
            entry.name = d.name;
    }
    for (int i = 0; i < scan.references.size(); ++i)
        references[foldWord(scan.references[i].name)].append({id, i});
}

void ModIndex::State::removeFromMaps(int id) {
    const IndexedFile &file = files[id];
    if (file.shadowed)
        return;
    auto drop = [id](QHash<QByteArray, QList<Slot>> &map, const QByteArray &name) {
        const auto it = map.find(name);
        if (it == map.end())
            return;
        it->removeIf([id](const Slot &slot) { return slot.file == id; });
        if (it->isEmpty())
            map.erase(it);
    };
    for (const NameDefinition &d : file.scan.definitions) {
        const QByteArray name = foldWord(d.name);
        drop(definitions, name);
        auto family = familyNames.find(foldWord(d.family));
        if (family == familyNames.end())
            continue;
        const auto entry = family->find(name);
        if (entry != family->end() && --entry->second.count <= 0)
            family->erase(entry);
    }
    for (const NameReference &r : file.scan.references)
        drop(references, foldWord(r.name));
}

void ModIndex::rereadFile(const QString &rawPath) {
    const QString path = QDir::cleanPath(rawPath);
    FileStamp stamp;
    const bool exists = readFileStamp(path, stamp);
    const FoundFile found{path, stamp.size, stamp.modified};
    const bool archive = isArchiveName(path);
    QList<IndexedFile> fresh;
    if (exists && below(path, folders())) {
        QByteArray bytes;
        QString error;
        if (archive)
            fresh = readArchive(path, found.size, found.modified, error);
        else if (isScriptName(path) && readFileBytes(path, bytes))
            fresh.append(
                {path, path, {}, found.size, found.modified, false, scanScript(bytes, m_table)});
    }

    QWriteLocker lock(&m_lock);
    if (archive) {
        for (size_t id = 0; id < m_state.files.size(); ++id)
            if (m_state.alive[id] && m_state.files[id].archive == path)
                m_state.dropFile(int(id));
        m_state.archives.remove(path);
        if (exists && below(path, m_state.folders))
            m_state.archives.insert(path, {found.size, found.modified});
    } else if (m_state.ids.contains(path)) {
        m_state.dropFile(m_state.ids.value(path));
    }
    for (IndexedFile &file : fresh) {
        const int other = m_state.logical.value(foldPath(file.logicalPath), -1);
        file.shadowed = archive && other >= 0 && m_state.files[other].archive.isEmpty();
        m_state.addFile(std::move(file));
    }
}

QStringList ModIndex::folders() const {
    QReadLocker lock(&m_lock);
    return m_state.folders;
}

QStringList ModIndex::scriptFiles() const {
    QReadLocker lock(&m_lock);
    QStringList files;
    for (size_t id = 0; id < m_state.files.size(); ++id)
        if (m_state.alive[id] && m_state.files[id].archive.isEmpty())
            files.append(m_state.files[id].path);
    files.sort();
    return files;
}

bool ModIndex::contains(const QString &path) const {
    QReadLocker lock(&m_lock);
    return m_state.ids.contains(QDir::cleanPath(path));
}

QByteArray ModIndex::fileBytes(const QString &rawPath) const {
    const QString path = QDir::cleanPath(rawPath);
    QString archive;
    ArchiveScriptReader reader;
    {
        QReadLocker lock(&m_lock);
        const int id = m_state.ids.value(path, -1);
        if (id >= 0)
            archive = m_state.files[id].archive;
        reader = m_archiveReader;
    }
    QByteArray bytes;
    if (archive.isEmpty()) {
        readFileBytes(path, bytes);
        return bytes;
    }
    try {
        const QByteArray name = QFile::encodeName(path.mid(archive.size() + 1));
        for (const ArchiveScript &script : reader(archive))
            if (script.name == name)
                return script.bytes;
    } catch (const Error &) {
    }
    return bytes;
}

QByteArray ModIndex::lineText(const QString &path, int line) const {
    const QByteArrayList lines = splitLines(fileBytes(path));
    return line >= 1 && line <= lines.size() ? lines[line - 1] : QByteArray();
}

QList<IndexEntry> ModIndex::collect(const QHash<QByteArray, QList<Slot>> &map,
                                    const QByteArray &name, const QByteArray &family,
                                    bool definitions) const {
    const QByteArray foldedFamily = foldWord(family);
    QList<IndexEntry> entries;
    QReadLocker lock(&m_lock);
    for (const Slot &slot : map.value(foldWord(name))) {
        const IndexedFile &file = m_state.files[slot.file];
        IndexEntry entry;
        entry.file = file.path;
        entry.definition = definitions;
        if (definitions) {
            const NameDefinition &d = file.scan.definitions[slot.item];
            entry = {file.path, d.line, d.column, d.family, d.type, d.name, true};
        } else {
            const NameReference &r = file.scan.references[slot.item];
            entry = {file.path, r.line, r.column, r.family, {}, r.name, false};
        }
        if (family.isEmpty() || foldWord(entry.family) == foldedFamily)
            entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(), [](const IndexEntry &a, const IndexEntry &b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return entries;
}

QList<IndexEntry> ModIndex::definitions(const QByteArray &name, const QByteArray &family) const {
    return collect(m_state.definitions, name, family, true);
}

QList<IndexEntry> ModIndex::references(const QByteArray &name, const QByteArray &family) const {
    return collect(m_state.references, name, family, false);
}

QByteArrayList ModIndex::namesWithPrefix(const QByteArray &family, const QByteArray &prefix,
                                         int limit) const {
    QByteArrayList names;
    const QByteArray folded = foldWord(prefix);
    QReadLocker lock(&m_lock);
    const auto it = m_state.familyNames.constFind(foldWord(family));
    if (it == m_state.familyNames.constEnd())
        return names;
    for (auto entry = it->lower_bound(folded);
         entry != it->end() && entry->first.startsWith(folded) && limit != 0; ++entry, --limit)
        names.append(entry->second.name);
    return names;
}

ScriptSymbol ModIndex::symbolAt(const QByteArray &text, qsizetype position) const {
    return marlix::symbolAt(text, position, m_table);
}

QString ModIndex::resolveFile(const QString &script, const QByteArray &relativePath) const {
    QReadLocker lock(&m_lock);
    const QString path = QDir::cleanPath(script);
    const int id = m_state.ids.value(path, -1);
    if (id >= 0)
        return resolveLocked(m_state.files[id], relativePath);
    IndexedFile outside;
    outside.path = outside.logicalPath = path;
    return resolveLocked(outside, relativePath);
}

QString ModIndex::resolveLocked(const IndexedFile &from, const QByteArray &relativePath) const {
    const QString relative = QFile::decodeName(relativePath);
    QString target = relative;
    if (!relative.startsWith(QLatin1Char('/'))) {
        const QString folder = folderOf(from.logicalPath);
        target = folder.isEmpty() ? relative : folder + QLatin1Char('/') + relative;
    }
    target = QDir::cleanPath(target);
    const int id = m_state.logical.value(foldPath(target), -1);
    if (id >= 0)
        return m_state.files[id].path;
    return QFileInfo(target).isFile() ? target : QString();
}

void ModIndex::forEachFile(const std::function<void(const IndexedFile &)> &visit) const {
    QReadLocker lock(&m_lock);
    for (size_t id = 0; id < m_state.files.size(); ++id)
        if (m_state.alive[id] && !m_state.files[id].shadowed)
            visit(m_state.files[id]);
}

} // namespace marlix
