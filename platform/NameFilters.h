#pragma once

#include <QString>
#include <QStringList>

namespace marlix {

// Turns the program's "Text|*.a;*.b|Other|*.c" filter form into the name filters of a Qt file
// dialog: {"Text (*.a *.b)", "Other (*.c)"}. A text that already ends in its own patterns in
// brackets ("Con Files (*.con)" for "*.con") is taken as it stands, so that the dialog does
// not show the patterns twice. A trailing text without patterns is ignored.
QStringList qtNameFilters(const QString &filter);

} // namespace marlix
