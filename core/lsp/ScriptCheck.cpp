#include "core/lsp/ScriptCheck.h"

#include "core/common/LineFile.h"
#include "core/modindex/IndexPaths.h"
#include "core/script/WordSearch.h"

#include <QFile>
#include <algorithm>

namespace marlix {

namespace {

QString text(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

int editDistance(const QByteArray &a, const QByteArray &b) {
    std::vector<int> row(b.size() + 1);
    for (int j = 0; j <= int(b.size()); ++j)
        row[j] = j;
    for (int i = 1; i <= int(a.size()); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= int(b.size()); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (foldByte(a[i - 1]) == foldByte(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The nearest few candidates within two edits, nearest first.
QByteArrayList nearest(const QByteArray &word, const QByteArrayList &candidates) {
    QList<QPair<int, QByteArray>> close;
    for (const QByteArray &candidate : candidates) {
        if (std::abs(candidate.size() - word.size()) > 2)
            continue;
        const int distance = editDistance(word, candidate);
        if (distance > 0 && distance <= 2)
            close.append({distance, candidate});
    }
    std::stable_sort(close.begin(), close.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QByteArrayList words;
    for (int i = 0; i < close.size() && i < 3; ++i)
        words.append(close[i].second);
    return words;
}

// The lines (from 0) whose problems of a kind the remark line before them keeps off.
QHash<int, QByteArrayList> ignoredLines(const QByteArray &bytes) {
    QHash<int, QByteArrayList> ignored;
    // The mod check's own spelling, and the one without a blank after the colon.
    const QByteArrayList markers = {"rem marlix: ignore ", "rem marlix:ignore "};
    const QByteArrayList lines = splitLines(bytes);
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        for (const QByteArray &marker : markers)
            if (line.size() > marker.size() && foldWord(line.left(marker.size())) == marker)
                ignored[i + 1].append(line.mid(marker.size()).trimmed().split(' '));
    }
    return ignored;
}

} // namespace

QByteArray ignoreRemark(const QByteArray &kind) {
    return "rem marlix: ignore " + kind;
}

QByteArrayList readKnownCommands(const QString &programFolder) {
    QByteArrayList commands;
    QFile file(programFolder + QStringLiteral("knowncommands.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return commands;
    for (const QByteArray &line : splitLines(file.readAll())) {
        const QByteArray command = line.trimmed();
        if (!command.isEmpty() && !command.startsWith('#'))
            commands.append(command);
    }
    return commands;
}

QList<ScriptProblem> checkOpenScript(const ModView &view, OpenScript &script,
                                     const QByteArrayList &knownCommands) {
    QList<ScriptProblem> problems;
    // The base game's problems are never the author's to mend.
    if (view.inBaseGame(script.path))
        return problems;
    const ScriptScan &scan = view.scanOf(script);
    const ModIndex &index = view.index();
    QHash<QByteArray, QByteArrayList> familyNames; // for suggestions, read once a family
    auto namesOf = [&](const QByteArray &family) -> const QByteArrayList & {
        const QByteArray key = foldWord(family);
        auto it = familyNames.find(key);
        if (it == familyNames.end())
            it = familyNames.insert(key, index.namesWithPrefix(family, {}));
        return *it;
    };

    for (const NameReference &r : scan.references) {
        if (!view.definitions(r.name, r.family).isEmpty())
            continue;
        ScriptProblem p;
        p.kind = "undefined-name";
        p.line = r.line - 1;
        p.column = r.column;
        p.length = int(r.name.size());
        p.message = QStringLiteral("%1 names %2, but no %3 of that name is defined")
                        .arg(text(r.command), text(r.name), text(r.family));
        p.suggestions = nearest(r.name, namesOf(r.family));
        problems.append(p);
    }
    for (const NameDefinition &d : scan.definitions) {
        // The first definition in file order counts; the later ones repeat it.
        const QList<IndexEntry> all = view.definitions(d.name, d.family);
        if (all.isEmpty())
            continue;
        const IndexEntry &first = all.first();
        if (first.file == script.path && first.line == d.line && first.column == d.column)
            continue;
        ScriptProblem p;
        p.kind = "duplicate-name";
        p.severity = ScriptProblem::Warning;
        p.line = d.line - 1;
        p.column = d.column;
        p.length = int(d.name.size());
        p.message = QStringLiteral("%1 %2 is defined again (first at %3:%4)")
                        .arg(text(d.family), text(d.name), first.file)
                        .arg(first.line);
        p.relatedFile = first.file;
        p.relatedLine = first.line - 1;
        p.relatedMessage = QStringLiteral("first definition of %1").arg(text(d.name));
        problems.append(p);
    }
    for (const FileReference &f : scan.files) {
        if (!index.resolveFile(script.path, f.path).isEmpty())
            continue;
        ScriptProblem p;
        p.kind = "missing-file";
        p.line = f.line - 1;
        p.column = f.column;
        p.length = int(f.written.size());
        p.message =
            QStringLiteral("%1 names no file: %2")
                .arg(f.run ? QStringLiteral("run") : QStringLiteral("include"), text(f.written));
        problems.append(p);
    }
    const QByteArray &bytes = script.document->text();
    const QByteArrayList lines = splitLines(bytes);
    for (const UnknownCommand &u : scan.unknownCommands) {
        ScriptProblem p;
        p.kind = "unknown-command";
        p.severity = ScriptProblem::Warning;
        p.line = u.line - 1;
        const QByteArray line = lines.value(p.line);
        p.column = std::max(0, int(line.indexOf(u.command)));
        p.length = int(u.command.size());
        p.message = QStringLiteral("unknown command %1").arg(text(u.command));
        p.suggestions = nearest(u.command, knownCommands);
        problems.append(p);
    }

    const QHash<int, QByteArrayList> ignored = ignoredLines(bytes);
    problems.removeIf([&](const ScriptProblem &p) {
        const auto it = ignored.constFind(p.line);
        return it != ignored.cend() && it->contains(p.kind);
    });
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ScriptProblem &a, const ScriptProblem &b) {
                         return std::tie(a.line, a.column) < std::tie(b.line, b.column);
                     });
    return problems;
}

} // namespace marlix
