#include "core/script/LineEnds.h"

#include "core/script/ScriptText.h"

namespace marlix {

LineEnd lineEndOf(const QByteArray &fileBytes) {
    return !fileBytes.contains('\r') && fileBytes.contains('\n') ? LineEnd::Lf : LineEnd::CrLf;
}

QByteArray scriptFileBytes(const QByteArray &documentText, LineEnd lineEnd) {
    const QByteArrayList lines = documentLines(documentText);
    const QByteArray end =
        lineEnd == LineEnd::Lf ? QByteArrayLiteral("\n") : QByteArrayLiteral("\r\n");
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + end.size();
    QByteArray bytes;
    bytes.reserve(total);
    for (const QByteArray &line : lines) {
        bytes.append(line);
        bytes.append(end);
    }
    return bytes;
}

} // namespace marlix
