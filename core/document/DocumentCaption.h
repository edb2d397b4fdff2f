#pragma once

#include <QString>

// A tab caption shows the document's file name, with a leading "*" while the document has
// unsaved changes. The mark belongs to the caption only: whatever needs the file name takes
// it from the document, never from the caption.
namespace marlix {

QString documentCaption(const QString &fileName, bool changed);

// The file name a caption made by documentCaption shows, without the mark.
QString captionFileName(const QString &caption, bool changed);

} // namespace marlix
