#include "core/script/ObjectScan.h"

#include "core/script/HighlightStyling.h"
#include "core/script/Remarks.h"

#include <algorithm>
#include <cstring>

namespace marlix {

QByteArray objectKeyword() {
    return QByteArrayLiteral("objecttemplate.create");
}

void forEachObjectLine(const TextView &text, const std::function<void(const ObjectLine &)> &found) {
    const QByteArray keyword = foldWord(objectKeyword());
    const qsizetype length = text.documentLength;
    const QList<RemBlock> blocks = remBlockLines(text);
    qsizetype block = 0;
    qsizetype s = 0;
    qsizetype lineEnd = -1; // of the last keyword's line: found once for all keywords on it
    qsizetype remAt = -1;   // the first "rem" of that line; every keyword after it is remark
    for (;;) {
        const qsizetype c = findFoldedWholeWord(text, keyword, s, length);
        if (c < 0)
            break;
        s = c + 1;
        if (c >= lineEnd) {
            lineEnd = lineEndFrom(text, c);
            qsizetype lineStart = c;
            while (lineStart > 0 && text.data[lineStart - 1] != '\r' &&
                   text.data[lineStart - 1] != '\n')
                --lineStart;
            remAt = findWholeWord(text, QByteArrayLiteral("rem"), lineStart, lineEnd - lineStart);
            if (remAt < 0)
                remAt = lineEnd;
        }
        while (block < blocks.size() && blocks[block].to < c)
            ++block;
        if (block < blocks.size() && blocks[block].from <= c)
            continue;
        if (remAt < c)
            continue;
        ObjectLine line;
        line.keyword = c;
        line.lineEnd = lineEnd;
        line.textStart = std::min(c + keyword.size() + 1, line.lineEnd);
        const char *rest = text.data + (line.textStart - text.offset);
        const auto *blank =
            static_cast<const char *>(std::memchr(rest, ' ', line.lineEnd - line.textStart));
        line.typeLength = blank ? blank - rest + 1 : 0;
        if (std::all_of(rest, rest + (line.lineEnd - line.textStart),
                        [](char b) { return b == ' ' || b == '\t'; }))
            continue;
        found(line);
    }
}

QList<ObjectRow> scanObjects(const TextView &text) {
    QList<ObjectRow> rows;
    forEachObjectLine(text, [&](const ObjectLine &line) {
        const char *rest = text.data + (line.textStart - text.offset);
        ObjectRow row;
        row.type = QByteArray(rest, line.typeLength);
        row.name =
            QByteArray(rest + line.typeLength, line.lineEnd - line.textStart - line.typeLength);
        row.keyword = line.keyword;
        row.textStart = line.textStart;
        row.lineEnd = line.lineEnd;
        rows.append(row);
    });
    return rows;
}

QByteArray objectLineText(const QByteArray &type, const QByteArray &name) {
    return objectKeyword() + ' ' + type + name;
}

} // namespace marlix
