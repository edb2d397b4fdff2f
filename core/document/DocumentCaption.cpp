#include "core/document/DocumentCaption.h"

namespace marlix {

namespace {
const QString changedMark = QStringLiteral("*");
}

QString documentCaption(const QString &fileName, bool changed) {
    return changed ? changedMark + fileName : fileName;
}

QString captionFileName(const QString &caption, bool changed) {
    // Only the mark is taken off, so a file name that itself begins with "*" survives.
    return changed && caption.startsWith(changedMark) ? caption.mid(changedMark.size()) : caption;
}

} // namespace marlix
