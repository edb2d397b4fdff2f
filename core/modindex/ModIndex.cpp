#include "core/modindex/ModIndex.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModLayout.h"
#include "core/modindex/RfaScripts.h"
#include "core/platform/FileStamp.h"
#include "core/script/WordSearch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <new>

// Queries and single-file updates of the mod index; the build is in ModIndexBuild.cpp.
namespace marlix {

namespace {

bool below(const QString &path, const QStringList &folders) {
    for (const QString &folder : folders)
        if (path == folder || path.startsWith(folder + QLatin1Char('/')))
            return true;
    return false;
}

// The folder of the list that holds the path; empty when none does.
QString holder(const QString &path, const QStringList &folders) {
    for (const QString &folder : folders)
        if (path == folder || path.startsWith(folder + QLatin1Char('/')))
            return folder;
    return {};
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
    const bool archive = isArchiveName(path);
    QList<IndexedFile> fresh;
    const QStringList allFolders = folders() + baseFolders();
    if (exists && below(path, allFolders)) {
        QByteArray bytes;
        QStringList errors;
        try {
            if (archive)
                fresh = readArchive(path, stamp.size, stamp.modified, errors);
            else if (isScriptName(path) && readFileBytes(path, bytes))
                fresh.append({path,
                              path,
                              {},
                              stamp.size,
                              stamp.modified,
                              false,
                              scanScript(bytes, m_table)});
        } catch (const std::bad_alloc &) {
            fresh.clear(); // left out of the index, as a file that cannot be read is
        }
    }

    for (IndexedFile &file : fresh)
        placeFile(file, folders(), baseFolders(), nullptr);
    QWriteLocker lock(&m_lock);
    if (archive) {
        for (size_t id = 0; id < m_state.files.size(); ++id)
            if (m_state.alive[id] && m_state.files[id].archive == path)
                m_state.dropFile(int(id));
        m_state.archives.remove(path);
        if (exists && below(path, m_state.folders + m_state.baseFolders))
            m_state.archives.insert(path, {stamp.size, stamp.modified});
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

QStringList ModIndex::baseFolders() const {
    QReadLocker lock(&m_lock);
    return m_state.baseFolders;
}

void ModIndex::placeFile(IndexedFile &file, const QStringList &folders,
                         const QStringList &baseFolders, QHash<QString, QString> *memo) {
    const QString &own = file.archive.isEmpty() ? file.path : file.archive;
    file.base = below(own, baseFolders);
    file.root = modRootOf(file.logicalPath, memo);
    if (file.root.isEmpty())
        file.root = holder(own, folders + baseFolders);
    if (file.root.isEmpty() || file.root == own)
        file.root = folderOf(own);
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

bool ModIndex::readAsOnDisk(const QString &path) const {
    FileStamp stamp;
    if (!readFileStamp(path, stamp))
        return false;
    QReadLocker lock(&m_lock);
    const int id = m_state.ids.value(QDir::cleanPath(path), -1);
    if (id < 0 || !m_state.files[id].archive.isEmpty())
        return false;
    return m_state.files[id].size == stamp.size && m_state.files[id].modified == stamp.modified;
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
        QStringList problems;
        reader(
            archive,
            [&](ArchiveScript &&script) {
                if (script.name != name)
                    return true;
                bytes = std::move(script.bytes);
                return false;
            },
            problems);
    } catch (const Error &) {
    } catch (const std::bad_alloc &) {
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
        bool ofFamily = family.isEmpty() || foldWord(entry.family) == foldedFamily;
        // A reference that may name a thing of several families is one of each of them.
        if (!ofFamily && !definitions)
            for (const QByteArray &f : file.scan.references[slot.item].families)
                ofFamily = ofFamily || foldWord(f) == foldedFamily;
        if (ofFamily)
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

QList<IndexEntry> ModIndex::definitions(const QByteArray &name,
                                        const QByteArrayList &families) const {
    if (families.size() <= 1)
        return definitions(name, families.value(0));
    QList<IndexEntry> entries;
    QSet<QByteArray> folded;
    for (const QByteArray &family : families)
        folded.insert(foldWord(family));
    for (const IndexEntry &entry : definitions(name))
        if (folded.contains(foldWord(entry.family)))
            entries.append(entry);
    return entries;
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
    QString relative = QFile::decodeName(relativePath);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList candidates;
    if (relative.startsWith(QLatin1Char('/'))) {
        candidates.append(QDir::cleanPath(relative));
    } else {
        const QString folder = folderOf(from.logicalPath);
        candidates.append(folder + QLatin1Char('/') + relative);
        const QString level = levelFolderOf(from.logicalPath);
        if (!level.isEmpty())
            candidates.append(level + QLatin1Char('/') + relative);
        const QString root = from.root.isEmpty() ? modRootOf(from.logicalPath) : from.root;
        if (!root.isEmpty()) {
            candidates.append(root + QLatin1Char('/') + relative);
            // The base game holds the same paths below its own root.
            const qsizetype count = candidates.size();
            for (const QString &base : m_state.baseRoots)
                for (qsizetype i = 0; i < count; ++i) {
                    const QString clean = QDir::cleanPath(candidates[i]);
                    if (clean.startsWith(root + QLatin1Char('/')))
                        candidates.append(base + clean.mid(root.size()));
                }
        }
    }
    for (QString &candidate : candidates) {
        candidate = QDir::cleanPath(candidate);
        const int id = m_state.logical.value(foldPath(candidate), -1);
        if (id >= 0)
            return m_state.files[id].path;
    }
    // A script below the index folders would be indexed; only the rest is looked for on disk.
    const QStringList indexed = m_state.folders + m_state.baseFolders;
    for (const QString &candidate : std::as_const(candidates)) {
        if (below(candidate, indexed))
            continue;
        const QString found = findIgnoringCase(candidate);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

void ModIndex::forEachFile(const std::function<void(const IndexedFile &)> &visit) const {
    QReadLocker lock(&m_lock);
    for (size_t id = 0; id < m_state.files.size(); ++id)
        if (m_state.alive[id] && !m_state.files[id].shadowed)
            visit(m_state.files[id]);
}

void ModIndex::withFiles(
    const std::function<void(const std::vector<const IndexedFile *> &)> &visit) const {
    QReadLocker lock(&m_lock);
    std::vector<const IndexedFile *> files;
    files.reserve(m_state.files.size());
    for (size_t id = 0; id < m_state.files.size(); ++id)
        if (m_state.alive[id] && !m_state.files[id].shadowed)
            files.push_back(&m_state.files[id]);
    visit(files);
}

} // namespace marlix
