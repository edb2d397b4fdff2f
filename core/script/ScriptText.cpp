#include "core/script/ScriptText.h"

#include "core/common/LineFile.h"

namespace marlix {

QByteArrayList documentLines(const QByteArray &text) {
    QByteArrayList lines = splitLines(text);
    if (!text.isEmpty() && (text.endsWith('\r') || text.endsWith('\n')))
        lines.append(QByteArray());
    return lines;
}

} // namespace marlix
