#include "core/modindex/Rename.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModLoads.h"
#include "core/script/WordSearch.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace marlix {

namespace {

struct Occurrence {
    QString file;
    int line = 0;
    int column = 0;
    QByteArray name;
    bool definition = false;
};

bool belowAny(const QString &path, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (path == clean || path.startsWith(clean + QLatin1Char('/')))
            return true;
    }
    return false;
}

// The archive a path below one stands in ("…/objects.rfa/entry" gives "…/objects.rfa").
QString archiveOf(const QString &path) {
    const qsizetype at = path.indexOf(QLatin1String(".rfa/"), 0, Qt::CaseInsensitive);
    return at < 0 ? path : path.left(at + 4);
}

QString place(const QString &file, int line) {
    return QStringLiteral("%1:%2").arg(file).arg(line);
}

// Definitions (or references) of a name in a family: from the open texts for scripts open in
// an editor, from the index for the rest.
QList<Occurrence> occurrences(const RenameScope &scope, const QByteArray &name,
                              const QByteArray &family, bool definitions) {
    QList<Occurrence> found;
    const QByteArray foldedName = foldWord(name);
    const QByteArray foldedFamily = foldWord(family);
    const QList<IndexEntry> entries = definitions ? scope.index->definitions(name, family)
                                                  : scope.index->references(name, family);
    for (const IndexEntry &e : entries)
        if (!scope.openTexts.contains(e.file))
            found.append({e.file, e.line, e.column, e.name, definitions});
    const CommandTable &table = scope.index->commandTable();
    for (auto it = scope.openTexts.cbegin(); it != scope.openTexts.cend(); ++it) {
        // Most open scripts do not hold the name at all: a plain search spares their scan.
        if (findWholeWord(TextView::whole(it.value()), name, 0, it.value().size()) < 0)
            continue;
        const ScriptScan scan = scanScript(it.value(), table);
        if (definitions) {
            for (const NameDefinition &d : scan.definitions)
                if (foldWord(d.name) == foldedName && foldWord(d.family) == foldedFamily)
                    found.append({it.key(), d.line, d.column, d.name, true});
        } else {
            for (const NameReference &r : scan.references)
                if (foldWord(r.name) == foldedName && foldWord(r.family) == foldedFamily)
                    found.append({it.key(), r.line, r.column, r.name, false});
        }
    }
    return found;
}

QByteArray lineOf(const RenameScope &scope, const QString &file, int line) {
    const auto open = scope.openTexts.constFind(file);
    if (open == scope.openTexts.cend())
        return scope.index->lineText(file, line);
    const QByteArrayList lines = splitLines(open.value());
    return line >= 1 && line <= lines.size() ? lines[line - 1] : QByteArray();
}

// The offsets at which each line of a text starts, lines split as the scanner splits them.
QList<qsizetype> lineStarts(const QByteArray &text) {
    QList<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        starts.append(i + 1);
    }
    return starts;
}

// The first definition of the new name that one play of the game could read together with a
// script using the old one: after the rename the two would meet, as a name defined twice or a
// use that silently names the other thing. Definitions that never meet (each level's own
// terrain, each game mode's own spawns) leave the new name free. A script the index does not
// hold counts as read in every play.
const Occurrence *meeting(const ModIndex &index, const QList<Occurrence> &taken,
                          const QList<Occurrence> &uses) {
    if (taken.isEmpty())
        return nullptr;
    std::vector<ScriptLoads> loads;
    QHash<QString, int> slot;
    index.withFiles([&](const std::vector<const IndexedFile *> &files) {
        loads = scriptLoads(index, files);
        for (int i = 0; i < int(files.size()); ++i)
            slot.insert(files[i]->path, i);
    });
    const auto loadsOf = [&](const QString &file) {
        const int i = slot.value(file, -1);
        return i >= 0 ? loads[i] : ScriptLoads();
    };
    for (const Occurrence &t : taken) {
        const ScriptLoads there = loadsOf(t.file);
        for (const Occurrence &use : uses)
            if (readTogether(there, loadsOf(use.file)))
                return &t;
    }
    return nullptr;
}

} // namespace

QStringList RenamePlan::files() const {
    QStringList files;
    for (const RenameChange &change : changes)
        if (files.isEmpty() || files.last() != change.file)
            files.append(change.file);
    return files;
}

bool isOneWord(const QByteArray &name) {
    if (name.isEmpty())
        return false;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F || c == '"')
            return false;
    }
    // "rem" would turn the rest of every line that names it into a remark.
    return foldWord(name) != "rem";
}

RenameTarget renameTargetAt(const RenameScope &scope, const QString &path, const QByteArray &text,
                            qsizetype position) {
    RenameTarget target;
    const ScriptSymbol symbol = scope.index->symbolAt(text, position);
    if (symbol.kind != ScriptSymbol::Definition && symbol.kind != ScriptSymbol::Reference) {
        target.refusal = QStringLiteral("There is no name to rename here");
        return target;
    }
    target.family = symbol.family;
    target.name = symbol.name;
    target.line = symbol.line;
    target.column = symbol.column;
    if (belowAny(QDir::cleanPath(path), scope.readOnlyFolders))
        target.refusal =
            QStringLiteral("%1 is in the base game, which is only read").arg(QDir::cleanPath(path));
    return target;
}

RenamePlan planRename(const RenameScope &scope, const QString &rawPath, const QByteArray &text,
                      qsizetype position, const QByteArray &newName) {
    const QString path = QDir::cleanPath(rawPath);
    RenameScope own = scope;
    own.openTexts.insert(path, text);
    RenamePlan plan;
    const RenameTarget target = renameTargetAt(own, path, text, position);
    plan.family = target.family;
    plan.oldName = target.name;
    plan.newName = newName;
    if (!target.refusal.isEmpty()) {
        plan.refusal = target.refusal;
        return plan;
    }
    if (!isOneWord(newName)) {
        plan.refusal =
            QStringLiteral("The new name \"%1\" is not one word").arg(QString::fromLatin1(newName));
        return plan;
    }
    QList<Occurrence> all = occurrences(own, target.name, target.family, true);
    all += occurrences(own, target.name, target.family, false);
    if (foldWord(newName) != foldWord(target.name)) {
        const QList<Occurrence> taken = occurrences(own, newName, target.family, true);
        if (const Occurrence *clash = meeting(*own.index, taken, all)) {
            plan.refusal = QStringLiteral("%1 %2 is already defined (%3)")
                               .arg(QString::fromLatin1(target.family),
                                    QString::fromLatin1(newName), place(clash->file, clash->line));
            return plan;
        }
    }
    std::sort(all.begin(), all.end(), [](const Occurrence &a, const Occurrence &b) {
        return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
    });
    for (const Occurrence &o : all) {
        if (belowAny(o.file, own.readOnlyFolders)) {
            plan.refusal = QStringLiteral("%1 is used in the base game, which is only read (%2)")
                               .arg(QString::fromLatin1(target.name), place(o.file, o.line));
            return plan;
        }
        if (!own.openTexts.contains(o.file) && !QFileInfo(o.file).isFile()) {
            plan.refusal = QStringLiteral("%1 is used inside the archive %2, which is only read "
                                          "(%3)")
                               .arg(QString::fromLatin1(target.name), archiveOf(o.file),
                                    place(o.file, o.line));
            return plan;
        }
    }

    // Lines are read once each; a line holding the name twice shows both changes.
    const QByteArray foldedName = foldWord(target.name);
    for (qsizetype i = 0; i < all.size();) {
        qsizetype j = i;
        while (j < all.size() && all[j].file == all[i].file && all[j].line == all[i].line)
            ++j;
        const QByteArray before = lineOf(own, all[i].file, all[i].line);
        QByteArray after = before;
        for (qsizetype k = j - 1; k >= i; --k) {
            const Occurrence &o = all[k];
            if (foldWord(before.mid(o.column, o.name.size())) != foldedName) {
                plan.refusal =
                    QStringLiteral("%1 changed since the mod was read; try again").arg(o.file);
                plan.changes.clear();
                return plan;
            }
            after.replace(o.column, o.name.size(), newName);
        }
        for (qsizetype k = i; k < j; ++k)
            plan.changes.append(
                {all[k].file, all[k].line, all[k].column, all[k].name, newName, before, after});
        i = j;
    }
    return plan;
}

QList<RenameChange> changesOfFileFromEnd(const QList<RenameChange> &changes, const QString &file) {
    QList<RenameChange> mine;
    for (const RenameChange &change : changes)
        if (change.file == file)
            mine.append(change);
    std::sort(mine.begin(), mine.end(), [](const RenameChange &a, const RenameChange &b) {
        return std::tie(a.line, a.column) > std::tie(b.line, b.column);
    });
    return mine;
}

QByteArray renamedText(const QByteArray &text, const QString &file,
                       const QList<RenameChange> &changes) {
    const QList<RenameChange> mine = changesOfFileFromEnd(changes, file);
    const QList<qsizetype> starts = lineStarts(text);
    QByteArray result = text;
    for (const RenameChange &change : mine) {
        const qsizetype at = change.line >= 1 && change.line <= starts.size()
                                 ? starts[change.line - 1] + change.column
                                 : -1;
        if (at < 0 || text.mid(at, change.before.size()) != change.before)
            throw Error(QStringLiteral("%1 changed since the rename was planned").arg(file));
        result.replace(at, change.before.size(), change.after);
    }
    return result;
}

void renameInFile(const QString &file, const QList<RenameChange> &changes) {
    QByteArray bytes;
    if (!readFileBytes(file, bytes))
        throw Error::cannotOpen(file);
    writeWholeFile(file, renamedText(bytes, file, changes));
}

void renameInFiles(const QStringList &files, const QList<RenameChange> &changes) {
    QList<QByteArray> before, after;
    for (const QString &file : files) {
        QByteArray bytes;
        if (!readFileBytes(file, bytes))
            throw Error::cannotOpen(file);
        after.append(renamedText(bytes, file, changes));
        before.append(std::move(bytes));
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        try {
            writeWholeFile(files[i], after[i]);
        } catch (const Error &) {
            for (qsizetype j = 0; j < i; ++j) {
                try {
                    writeWholeFile(files[j], before[j]);
                } catch (const Error &) {
                    // Written a moment ago, so it can be written again; if not, the first
                    // error is still the one to tell.
                }
            }
            throw;
        }
    }
}

} // namespace marlix
