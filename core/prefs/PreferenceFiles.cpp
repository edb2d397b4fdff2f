#include "core/prefs/PreferenceFiles.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/script/LanguageTables.h"

#include <QFileInfo>

namespace marlix {

void PreferenceFiles::loadOptions(GeneralOptions &options) const {
    const QString path = optionsPath();
    if (!QFileInfo::exists(path))
        return;
    applyOptionLines(readTextLines(path, {OptionLineCount}), options);
}

void PreferenceFiles::loadTable(const QString &path, TableRows &rows, bool &writes,
                                int pathColumn) {
    // A missing file is created from the grid at closing; an existing one only once it has
    // been read into the grid at this opening.
    writes = !QFileInfo::exists(path);
    if (writes)
        return;
    bool cut = false;
    rows = tableRowsFromLines(readTextLines(path, tableFileLimits(), &cut));
    if (pathColumn >= 0)
        for (TableRow &row : rows)
            row[size_t(pathColumn)] = pathFromTextLine(row[size_t(pathColumn)]);
    // The grid holds only part of a file beyond the limits: writing it would drop the rest.
    writes = !cut;
    if (cut)
        throw Error(QStringLiteral("%1 holds more than the %2 entries, or longer lines than the "
                                   "4096 bytes, that the preferences show: it is shown in part "
                                   "and left as it is when they close")
                        .arg(QFileInfo(path).fileName())
                        .arg(MaxTableEntries));
}

void PreferenceFiles::loadIntellisense(TableRows &rows) {
    loadTable(intellisensePath(), rows, m_writeIntellisense, 1);
}

void PreferenceFiles::loadHighlighting(TableRows &rows) {
    loadTable(highlightingPath(), rows, m_writeHighlighting, -1);
}

void PreferenceFiles::save(const Preferences &preferences) const {
    if (m_writeIntellisense) {
        QStringList lines = intellisenseFileLines(preferences.intellisense);
        for (qsizetype file = 1; file < lines.size(); file += 3)
            lines[file] = textLineFromPath(lines[file]);
        writeTextLines(intellisensePath(), lines);
    }
    if (m_writeHighlighting)
        writeTextLines(highlightingPath(), highlightingFileLines(preferences.highlighting));
    writeTextLines(optionsPath(), optionLines(preferences.options));
}

} // namespace marlix
