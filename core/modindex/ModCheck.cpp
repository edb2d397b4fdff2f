#include "core/modindex/ModCheck.h"

#include "core/modindex/ModLoads.h"
#include "core/modindex/NearNames.h"
#include "core/script/WordSearch.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace marlix {

namespace {

// Suggestions for an undefined name: at most this many, at most this many letters away.
constexpr int SuggestedNames = 3;
constexpr int NameDistance = 3;
// A command this near a known one is a typing slip: an error with advice.
constexpr int CommandDistance = 2;
// Each suggestion compares a word with every name of its family. A mod with thousands of
// different undefined names would make that quadratic: suggestions stop after this many
// comparisons in one check (a real mod's hundred undefined names take a tenth of it).
constexpr qsizetype SuggestionComparisons = 1000000;
constexpr int SuggestedCommands = 500;

struct Definition {
    int file;
    int item;
};

// The definitions of one name in one family, and where a play can read them.
struct NameGroup {
    QList<Definition> definitions;
    bool everywhere = false; // in the base game or outside levels
    struct LevelDefinitions {
        bool shared = false;
        QSet<int> modes;
    };
    QHash<int, LevelDefinitions> levels;
};

QByteArray groupKey(const QByteArray &family, const QByteArray &name) {
    return foldWord(family) + ' ' + foldWord(name);
}

QString text(const QByteArray &bytes) {
    return printableText(bytes);
}

QString place(const QString &file, int line) {
    return QStringLiteral("%1:%2").arg(printableText(file)).arg(line);
}

QString alternatives(const QStringList &words, const QString &last) {
    if (words.size() <= 1)
        return words.value(0);
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QLatin1Char(' ') + last +
           QLatin1Char(' ') + words.last();
}

class Checker {
public:
    Checker(const ModIndex &index, const std::vector<const IndexedFile *> &files, int only)
        : m_index(index), m_files(files), m_only(only), m_loads(scriptLoads(index, files)) {}

    QList<ModProblem> run() {
        groupDefinitions();
        for (auto it = m_groups.begin(); it != m_groups.end(); ++it)
            checkDefinitions(*it);
        for (int i = 0; i < int(m_files.size()); ++i) {
            if (!reported(i))
                continue;
            checkReferences(i);
            checkFiles(i);
            checkCommands(i);
        }
        applyIgnores();
        std::stable_sort(m_problems.begin(), m_problems.end(),
                         [](const ModProblem &a, const ModProblem &b) {
                             if (a.file != b.file)
                                 return a.file < b.file;
                             return a.line != b.line ? a.line < b.line : a.column < b.column;
                         });
        return m_problems;
    }

private:
    bool reported(int file) const { return !m_files[file]->base && (m_only < 0 || file == m_only); }
    const NameDefinition &definition(const Definition &d) const {
        return m_files[d.file]->scan.definitions[d.item];
    }

    void groupDefinitions() {
        for (int i = 0; i < int(m_files.size()); ++i) {
            const IndexedFile &file = *m_files[i];
            if (file.base)
                for (const UnknownCommand &u : file.scan.unknownCommands)
                    m_baseCommands.insert(foldWord(u.command));
            for (int j = 0; j < file.scan.definitions.size(); ++j) {
                const NameDefinition &d = file.scan.definitions[j];
                NameGroup &group = m_groups[groupKey(d.family, d.name)];
                group.definitions.append({i, j});
                const ScriptLoads &load = m_loads[i];
                if (file.base || load.level < 0) {
                    group.everywhere = true;
                } else {
                    NameGroup::LevelDefinitions &level = group.levels[load.level];
                    level.shared = level.shared || load.shared;
                    for (int mode : load.modes)
                        level.modes.insert(mode);
                }
            }
        }
    }

    void add(ModProblem problem, const IndexedFile &file, int column, int length) {
        problem.file = file.path;
        problem.column = column;
        problem.endColumn = column + length;
        m_problems.append(std::move(problem));
    }

    void addDefinitionProblem(const Definition &d, const Definition &other, bool duplicate) {
        if (!reported(d.file))
            return;
        const NameDefinition &def = definition(d);
        const IndexedFile &otherFile = *m_files[other.file];
        const int otherLine = definition(other).line;
        ModProblem problem;
        problem.kind = duplicate ? ModProblem::DuplicateName : ModProblem::Override;
        problem.severity = duplicate ? ModProblem::Warning : ModProblem::Information;
        problem.line = def.line;
        problem.name = def.name;
        problem.relatedFile = otherFile.path;
        problem.relatedLine = otherLine;
        const QString what = text(def.family) + QLatin1Char(' ') + text(def.name);
        if (duplicate)
            problem.message = QStringLiteral("%1 is defined again (first at %2)")
                                  .arg(what, place(otherFile.path, otherLine));
        else if (otherFile.base)
            problem.message = QStringLiteral("%1 overrides the base game's definition at %2")
                                  .arg(what, place(otherFile.path, otherLine));
        else
            problem.message = QStringLiteral("%1 overrides the definition at %2 for this level")
                                  .arg(what, place(otherFile.path, otherLine));
        add(problem, *m_files[d.file], def.column, int(def.name.size()));
    }

    // Definitions in file order: a later one that a play reads with an earlier one repeats
    // it; a level's definition of a name defined outside levels (or in the base game)
    // overrides it. Each definition is compared with the first of each load only, so a name
    // defined thousands of times costs no more than thousands of names.
    void checkDefinitions(const NameGroup &group) {
        if (group.definitions.size() < 2)
            return;
        std::optional<Definition> base, global;
        for (const Definition &d : group.definitions)
            if (m_files[d.file]->base && !base)
                base = d;
        for (const Definition &d : group.definitions) {
            if (m_files[d.file]->base || m_loads[d.file].level >= 0)
                continue;
            if (global)
                addDefinitionProblem(d, *global, true);
            else if (base)
                addDefinitionProblem(d, *base, false);
            if (!global)
                global = d;
        }
        struct LevelFirst {
            std::optional<Definition> shared, any;
            QHash<int, Definition> modes;
        };
        QHash<int, LevelFirst> levels;
        for (const Definition &d : group.definitions) {
            const ScriptLoads &load = m_loads[d.file];
            if (m_files[d.file]->base || load.level < 0)
                continue;
            LevelFirst &first = levels[load.level];
            std::optional<Definition> conflict = first.shared;
            if (!conflict && load.shared)
                conflict = first.any;
            for (int mode : load.modes)
                if (!conflict && first.modes.contains(mode))
                    conflict = first.modes.value(mode);
            if (conflict)
                addDefinitionProblem(d, *conflict, true);
            else if (global)
                addDefinitionProblem(d, *global, false);
            else if (base)
                addDefinitionProblem(d, *base, false);
            if (!first.any)
                first.any = d;
            if (load.shared && !first.shared)
                first.shared = d;
            for (int mode : load.modes)
                if (!first.modes.contains(mode))
                    first.modes.insert(mode, d);
        }
    }

    // Whether a play that reads the reference's script defines the name.
    bool definedFor(const NameGroup &group, const ScriptLoads &load) const {
        if (group.everywhere || load.level < 0)
            return !group.definitions.isEmpty();
        const auto level = group.levels.constFind(load.level);
        if (level == group.levels.constEnd())
            return false;
        if (level->shared || load.shared)
            return true;
        for (int mode : load.modes)
            if (level->modes.contains(mode))
                return true;
        return false;
    }

    const QByteArrayList &familyNames(const QByteArrayList &families) {
        const QByteArray key = foldWord(families.join(' '));
        auto it = m_familyNames.find(key);
        if (it == m_familyNames.end()) {
            QByteArrayList names;
            for (const QByteArray &family : families)
                names += m_index.namesWithPrefix(family, {});
            it = m_familyNames.insert(key, names);
        }
        return *it;
    }

    QStringList suggestedNames(const NameReference &r) {
        const QByteArray key = foldWord(r.families.join(' ')) + ' ' + foldWord(r.name);
        const auto known = m_suggestions.constFind(key);
        if (known != m_suggestions.constEnd())
            return *known;
        QStringList names;
        if (m_comparisons > SuggestionComparisons)
            return names;
        const QByteArrayList &candidates = familyNames(r.families);
        m_comparisons += candidates.size();
        for (const QByteArray &name :
             nearestNames(r.name, candidates, NameDistance, SuggestedNames))
            names.append(text(name));
        m_suggestions.insert(key, names);
        return names;
    }

    void checkReferences(int i) {
        const IndexedFile &file = *m_files[i];
        const ScriptLoads &load = m_loads[i];
        for (const NameReference &r : file.scan.references) {
            const QByteArrayList families =
                r.families.isEmpty() ? QByteArrayList{r.family} : r.families;
            std::optional<Definition> elsewhere;
            bool defined = false;
            for (const QByteArray &family : families) {
                const auto group = m_groups.constFind(groupKey(family, r.name));
                if (group == m_groups.constEnd())
                    continue;
                if (definedFor(*group, load)) {
                    defined = true;
                    break;
                }
                if (!elsewhere && !group->definitions.isEmpty())
                    elsewhere = group->definitions.first();
            }
            if (defined)
                continue;
            QStringList familyWords;
            for (const QByteArray &family : families)
                familyWords.append(text(family));
            ModProblem problem;
            problem.kind = ModProblem::UndefinedName;
            problem.line = r.line;
            problem.name = r.name;
            problem.message =
                QStringLiteral("%1 names %2, but no %3 of that name is defined")
                    .arg(text(r.command), text(r.name), alternatives(familyWords, "or"));
            if (elsewhere) {
                problem.message +=
                    QStringLiteral(" where this script is read (only at %1)")
                        .arg(place(m_files[elsewhere->file]->path, definition(*elsewhere).line));
            } else {
                problem.suggestions = suggestedNames(NameReference{{}, families, r.name, {}, 0, 0});
                if (!problem.suggestions.isEmpty())
                    problem.message += QStringLiteral("; did you mean %1?")
                                           .arg(alternatives(problem.suggestions, "or"));
            }
            add(problem, file, r.column, int(r.name.size()));
        }
    }

    void checkFiles(int i) {
        const IndexedFile &file = *m_files[i];
        for (const FileReference &f : file.scan.files) {
            if (!m_index.resolveFile(file.path, f.path).isEmpty())
                continue;
            ModProblem problem;
            problem.kind = ModProblem::MissingFile;
            problem.line = f.line;
            problem.name = f.written;
            problem.message = QStringLiteral("%1 names no file: %2")
                                  .arg(f.run ? QStringLiteral("run") : QStringLiteral("include"),
                                       text(f.written));
            add(problem, file, f.column, int(f.written.size()));
        }
    }

    QByteArray nearestCommand(const QByteArray &command) {
        const QByteArray folded = foldWord(command);
        const auto known = m_nearCommands.constFind(folded);
        if (known != m_nearCommands.constEnd())
            return *known;
        if (m_nearCommands.size() >= SuggestedCommands)
            return {};
        const QByteArrayList near =
            nearestNames(command, m_index.commandTable().knownSpellings(), CommandDistance, 1);
        const QByteArray best = near.value(0);
        m_nearCommands.insert(folded, best);
        return best;
    }

    void checkCommands(int i) {
        const IndexedFile &file = *m_files[i];
        for (const UnknownCommand &u : file.scan.unknownCommands) {
            // The base game's own scripts use it: the game knows it.
            if (m_baseCommands.contains(foldWord(u.command)))
                continue;
            ModProblem problem;
            problem.kind = ModProblem::UnknownCommand;
            problem.line = u.line;
            problem.name = u.command;
            problem.message = QStringLiteral("unknown command %1").arg(text(u.command));
            const QByteArray near = nearestCommand(u.command);
            if (near.isEmpty()) {
                problem.severity = ModProblem::Warning;
            } else {
                problem.suggestions = QStringList{text(near)};
                problem.message += QStringLiteral("; did you mean %1?").arg(text(near));
            }
            add(problem, file, u.column, int(u.command.size()));
        }
    }

    void applyIgnores() {
        QHash<QString, const IndexedFile *> byPath;
        for (const IndexedFile *file : m_files)
            if (!file->scan.ignores.isEmpty())
                byPath.insert(file->path, file);
        if (byPath.isEmpty())
            return;
        m_problems.removeIf([&](const ModProblem &problem) {
            const IndexedFile *file = byPath.value(problem.file);
            if (!file)
                return false;
            const QByteArray kind = kindName(problem.kind).toLatin1();
            for (const IgnoreDirective &ignore : file->scan.ignores)
                if ((ignore.line == 0 || ignore.line == problem.line) &&
                    (ignore.kinds.isEmpty() || ignore.kinds.contains(kind)))
                    return true;
            return false;
        });
    }

    const ModIndex &m_index;
    const std::vector<const IndexedFile *> &m_files;
    int m_only;
    std::vector<ScriptLoads> m_loads;
    QHash<QByteArray, NameGroup> m_groups;
    QSet<QByteArray> m_baseCommands;
    QHash<QByteArray, QByteArrayList> m_familyNames;
    QHash<QByteArray, QStringList> m_suggestions;
    qsizetype m_comparisons = 0;
    QHash<QByteArray, QByteArray> m_nearCommands;
    QList<ModProblem> m_problems;
};

} // namespace

QList<ModProblem> checkMod(const ModIndex &index) {
    QList<ModProblem> problems;
    index.withFiles([&](const std::vector<const IndexedFile *> &files) {
        problems = Checker(index, files, -1).run();
    });
    return problems;
}

QList<ModProblem> checkScript(const ModIndex &index, const QString &path, const QByteArray &text,
                              const QList<OpenScan> &openScans) {
    QList<ModProblem> problems;
    index.withFiles([&](const std::vector<const IndexedFile *> &indexed) {
        std::vector<const IndexedFile *> files = indexed;
        IndexedFile edited;
        // Copies of the other open scripts, their scans swapped for those of their open text.
        std::vector<IndexedFile> others;
        others.reserve(size_t(openScans.size()));
        int only = -1;
        for (int i = 0; i < int(files.size()); ++i) {
            if (files[i]->path == path) {
                edited = *files[i];
                files[i] = &edited;
                only = i;
                continue;
            }
            for (const OpenScan &open : openScans)
                if (open.scan && open.path == files[i]->path) {
                    others.push_back(*files[i]);
                    others.back().scan = *open.scan;
                    files[i] = &others.back();
                    break;
                }
        }
        if (only < 0) {
            edited.path = edited.logicalPath = path;
            files.push_back(&edited);
            only = int(files.size()) - 1;
        }
        edited.scan = scanScript(text, index.commandTable());
        problems = Checker(index, files, only).run();
    });
    return problems;
}

QString problemLine(const ModProblem &problem) {
    return QStringLiteral("%1:%2: %3: %4")
        .arg(printableText(problem.file))
        .arg(problem.line)
        .arg(severityName(problem.severity), printableText(problem.message));
}

QString problemSummary(const QList<ModProblem> &problems) {
    int counts[5] = {0, 0, 0, 0, 0};
    for (const ModProblem &problem : problems)
        ++counts[problem.kind];
    // The plural's ending goes on the counted word, which is not always the last one.
    const auto count = [&](ModProblem::Kind kind, const char *one, const char *more) {
        const int n = counts[kind];
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : more));
    };
    QStringList parts{count(ModProblem::UndefinedName, "undefined name", "undefined names"),
                      count(ModProblem::DuplicateName, "name defined twice", "names defined twice"),
                      count(ModProblem::MissingFile, "missing file", "missing files"),
                      count(ModProblem::UnknownCommand, "unknown command", "unknown commands")};
    if (counts[ModProblem::Override] > 0)
        parts.append(count(ModProblem::Override, "override", "overrides"));
    return parts.join(QStringLiteral(", "));
}

} // namespace marlix
