#pragma once

#include <QString>
#include <QStringList>

// A tab caption shows the document's file name, with a leading "*" while the document has
// unsaved changes. The mark belongs to the caption only: whatever needs the file name takes
// it from the document, never from the caption.
namespace marlix {

QString documentCaption(const QString &fileName, bool changed);

// The file name a caption made by documentCaption shows, without the mark.
QString captionFileName(const QString &caption, bool changed);

// What the tabs of documents with these full paths show: the file's name, with as many of its
// folders in front as it takes to tell it from another open script of the same name
// ("objects/Objects.con" beside "vehicles/Objects.con"). Two tabs of the very same path
// cannot be told apart by folders and show the name alone; an empty path stays empty.
QStringList tabNames(const QStringList &paths);

} // namespace marlix
