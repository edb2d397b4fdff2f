#include "core/prefs/PreferenceFiles.h"

#include "core/common/LineFile.h"

#include <QFileInfo>

namespace marlix {

void PreferenceFiles::loadOptions(GeneralOptions &options) const {
    const QString path = optionsPath();
    if (!QFileInfo::exists(path))
        return;
    applyOptionLines(readTextLines(path), options);
}

void PreferenceFiles::loadTable(const QString &path, TableRows &rows, bool &writes,
                                int pathColumn) {
    // A missing file is created from the grid at closing; an existing one only once it has
    // been read into the grid at this opening.
    writes = !QFileInfo::exists(path);
    if (writes)
        return;
    rows = tableRowsFromLines(readTextLines(path));
    if (pathColumn >= 0)
        for (TableRow &row : rows)
            row[size_t(pathColumn)] = pathFromTextLine(row[size_t(pathColumn)]);
    writes = true;
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
