#pragma once

#include <QString>
#include <QStringList>

namespace marlix {

// Turns the program's "Text|*.a;*.b|Other|*.c" filter form into the name filters of a Qt file
// dialog: {"Text (*.a *.b)", "Other (*.c)"}. A text that already ends in its own patterns in
// brackets ("Con Files (*.con)" for "*.con") is taken as it stands, so that the dialog does
// not show the patterns twice. A trailing text without patterns is ignored.
QStringList qtNameFilters(const QString &filter);

// The patterns of entry index (counted from 1) of such a filter; none for an index outside it.
QStringList filterPatterns(const QString &filter, int index);

// Whether a file is listed under these patterns. Letter case is ignored, as on Windows, and so
// are two of its habits that a Linux name does not share: "*.*" lists every file, also one
// without a dot in its name, and "*.exe" also lists files marked executable, such as the
// wrapper scripts that start Windows programs. "*." lists names without a dot. No patterns
// list every file.
bool listedUnder(const QString &fileName, bool executable, const QStringList &patterns);

} // namespace marlix
