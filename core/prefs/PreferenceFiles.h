#pragma once

#include "core/prefs/GeneralOptions.h"
#include "core/prefs/TableRows.h"

#include <QString>

namespace marlix {

// Everything the preferences dialog keeps: the general options and both language tables as
// its grids hold them.
struct Preferences {
    GeneralOptions options;
    TableRows intellisense{TableRow{}};
    TableRows highlighting{TableRow{}};
};

// The three files of the preferences dialog in the program folder: read at every opening,
// written whole at every closing.
class PreferenceFiles {
public:
    void setFolder(const QString &folder) { m_folder = folder; } // ends in a separator
    QString optionsPath() const { return m_folder + QStringLiteral("marlix.ini"); }
    QString intellisensePath() const { return m_folder + QStringLiteral("intellisense.ini"); }
    QString highlightingPath() const { return m_folder + QStringLiteral("highlighting.ini"); }

    // Opening. A missing file changes nothing. A file that exists but cannot be read throws
    // Error::cannotOpen and changes nothing either.
    void loadOptions(GeneralOptions &options) const;
    void loadIntellisense(TableRows &rows);
    void loadHighlighting(TableRows &rows);

    // Closing: intellisense.ini, highlighting.ini, marlix.ini, in this order. The first file
    // that cannot be written throws Error::cannotCreate, and the files after it are left as
    // they are. A table whose file existed but failed to read at the last opening is never
    // written: the grid does not hold that file, and writing it would destroy the user's table.
    void save(const Preferences &preferences) const;

    // Whether save() writes the table: true unless its file failed to read at the last opening.
    bool writesIntellisense() const { return m_writeIntellisense; }
    bool writesHighlighting() const { return m_writeHighlighting; }

private:
    // pathColumn: the cell that names a file (the file system's bytes in the file), or -1.
    static void loadTable(const QString &path, TableRows &rows, bool &writes, int pathColumn);

    QString m_folder;
    bool m_writeIntellisense = true;
    bool m_writeHighlighting = true;
};

} // namespace marlix
