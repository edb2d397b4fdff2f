#include "editor/ObjectScan.h"

#include "editor/HighlightStyling.h"

namespace marlix {

QByteArray objectKeyword() {
    return QByteArrayLiteral("objecttemplate.create");
}

QList<ObjectRow> scanObjects(const TextView &text) {
    QList<ObjectRow> rows;
    const QByteArray keyword = foldWord(objectKeyword());
    const qsizetype length = text.documentLength;
    qsizetype s = 0;
    for (;;) {
        const qsizetype c = findFoldedWholeWord(text, keyword, s, length);
        if (c < 0)
            break;
        ObjectRow row;
        row.keyword = c;
        row.lineEnd = lineEndFrom(text, c);
        row.textStart = std::min(c + keyword.size() + 1, row.lineEnd);
        const QByteArray rest(text.data + (row.textStart - text.offset),
                              row.lineEnd - row.textStart);
        const qsizetype blank = rest.indexOf(' ');
        row.type = rest.left(blank + 1);
        row.name = rest.mid(blank + 1);
        rows.append(row);
        s = c + 1;
    }
    return rows;
}

QByteArray objectLineText(const QByteArray &type, const QByteArray &name) {
    return objectKeyword() + ' ' + type + name;
}

} // namespace marlix
