#pragma once

#include "core/modindex/ArchiveScripts.h"
#include "core/modindex/CommandTable.h"
#include "core/modindex/IndexCache.h"

#include <QHash>
#include <QReadWriteLock>
#include <QStringList>
#include <atomic>
#include <functional>
#include <map>
#include <vector>

// The index of the names defined and referred to across a mod's scripts and archives. It is
// built on worker threads and queried from any thread; a build replaces the index in one step
// when it is done, so queries during a build see the previous index.
namespace marlix {

// A definition or a reference found by a query.
struct IndexEntry {
    QString file;
    int line = 0;
    int column = 0;
    QByteArray family;
    QByteArray type; // definitions only
    QByteArray name;
    bool definition = false;
};

// Asks a running build to stop and receives its progress, from the worker threads.
struct BuildControl {
    std::atomic<bool> cancel{false};
    std::function<void(int done, int total)> progress;
};

struct BuildStats {
    int files = 0;          // scripts in the index afterwards, archive entries included
                            // (not those of packed copies of scripts on disk)
    int filesRead = 0;      // scripts and archives read anew
    int filesFromCache = 0; // unchanged, taken from the previous index or the cache file
    bool cancelled = false; // the index was left as it was
    QStringList errors;     // files and folders that could not be read, with the reason
    QStringList notes;      // what was left out on purpose (links out of the folders)
};

class ModIndex {
public:
    explicit ModIndex(CommandTable table);
    ~ModIndex();

    const CommandTable &commandTable() const { return m_table; }
    // Archives are read with readRfaScripts unless another reader is given; without a reader
    // (an empty one) their entries are not indexed.
    void setArchiveReader(ArchiveScriptReader reader);
    // Where the index keeps what it read between runs; empty: nowhere.
    void setCacheFile(const QString &path);

    // Reads every .con and .inc below the folders and every script entry of every .rfa below
    // them. Files whose size and time are those of the previous index or of the cache file
    // are not read again. Runs on worker threads and returns when done.
    BuildStats build(const QStringList &folders, BuildControl *control = nullptr);
    // The same with the base game: folders or archives of the game's own scripts, whose
    // definitions count and whose files resolve include and run lines, but which are the
    // game's and not the mod's to check.
    BuildStats build(const QStringList &folders, const QStringList &baseFolders,
                     BuildControl *control = nullptr);
    // Reads one script (or archive) again, or drops it when it is gone. A script below none of
    // the index folders is left out.
    void rereadFile(const QString &path);

    QStringList folders() const;
    QStringList baseFolders() const;
    // The scripts on disk, sorted (archive entries are not among them).
    QStringList scriptFiles() const;
    bool contains(const QString &path) const;
    // Whether the script on disk still has the size and time it had when it was read; false
    // for a path the index does not hold as a script on disk.
    bool readAsOnDisk(const QString &path) const;
    // The bytes of an indexed script, from its file or its archive; empty when unreadable.
    QByteArray fileBytes(const QString &path) const;
    // The text of one line (counting from 1) of an indexed script, without its line end, for
    // a list of results; empty when there is no such line.
    QByteArray lineText(const QString &path, int line) const;

    // Definitions of a name, letter case ignored; an empty family means any family.
    QList<IndexEntry> definitions(const QByteArray &name, const QByteArray &family = {}) const;
    // Definitions in any of the families (a reference that may name several, see
    // ScriptSymbol::families); an empty list means any family.
    QList<IndexEntry> definitions(const QByteArray &name, const QByteArrayList &families) const;
    QList<IndexEntry> references(const QByteArray &name, const QByteArray &family = {}) const;
    // Defined names of a family that begin with the prefix, in order ignoring case, each once
    // (spelt as its first definition has it);
    // at most `limit` of them (negative: all).
    QByteArrayList namesWithPrefix(const QByteArray &family, const QByteArray &prefix,
                                   int limit = -1) const;

    // The name or include/run path at a byte position of a script's text (the open document).
    ScriptSymbol symbolAt(const QByteArray &text, qsizetype position) const;
    // The file an include or run path of the script names, looked up as the game does: from
    // the script's folder, from its level's folder (for a script below bf1942/levels/<Level>/),
    // from its mod's root, then in the base game; letter case ignored. An indexed script where
    // there is one, else a file on disk; empty when there is none.
    QString resolveFile(const QString &script, const QByteArray &relativePath) const;

    // Visits every script of the index under the index's read lock.
    void forEachFile(const std::function<void(const IndexedFile &)> &visit) const;
    // Hands every script of the index at once (packed copies of scripts on disk left out),
    // under the read lock, for work that looks at them together.
    void
    withFiles(const std::function<void(const std::vector<const IndexedFile *> &)> &visit) const;

private:
    struct Slot {
        int file;
        int item;
    };
    struct NameCount {
        QByteArray name;
        int count = 0;
    };

    QString resolveLocked(const IndexedFile &from, const QByteArray &relativePath) const;
    // Marks a file of the base game and finds its mod's root.
    static void placeFile(IndexedFile &file, const QStringList &folders,
                          const QStringList &baseFolders, QHash<QString, QString> *memo);
    QList<IndexEntry> collect(const QHash<QByteArray, QList<Slot>> &map, const QByteArray &name,
                              const QByteArray &family, bool definitions) const;
    QList<IndexedFile> readArchive(const QString &path, qint64 size, qint64 modified,
                                   QStringList &errors) const;
    IndexCacheContents previousContents() const;

    // Everything a query reads. A build fills a fresh one without the lock and swaps it in.
    struct State {
        QStringList folders;
        QStringList baseFolders;
        QStringList baseRoots;
        std::vector<IndexedFile> files;
        std::vector<bool> alive;
        ArchiveTimes archives;
        QHash<QString, int> ids;
        QHash<QString, int> logical; // folded logical path
        QHash<QByteArray, QList<Slot>> definitions;
        QHash<QByteArray, QList<Slot>> references;
        QHash<QByteArray, std::map<QByteArray, NameCount>> familyNames; // folded family, name

        int addFile(IndexedFile file);
        void dropFile(int id);
        void addToMaps(int id);
        void removeFromMaps(int id);
    };

    CommandTable m_table;
    ArchiveScriptReader m_archiveReader;
    QString m_cacheFile;
    mutable QReadWriteLock m_lock{QReadWriteLock::Recursive};
    State m_state;
};

} // namespace marlix
