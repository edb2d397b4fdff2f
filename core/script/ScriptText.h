#pragma once

#include <QByteArray>
#include <QByteArrayList>

// The lines of a document as the editor holds it: the text split at every line end (CR LF, CR
// or LF), an empty last line included, so that loading the lines of a file and saving them
// gives the same lines back. An empty document has no lines.
namespace marlix {

QByteArrayList documentLines(const QByteArray &text);

} // namespace marlix
