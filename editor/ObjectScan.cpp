#include "editor/ObjectScan.h"

#include "editor/HighlightStyling.h"

namespace marlix {

QByteArray objectKeyword() {
    return QByteArrayLiteral("objecttemplate.create");
}

namespace {

// Where the text read after a keyword ends: its line's end, or on a line of joined scripts
// (which would give every object the rest of all the objects after it) the last blank before
// longestObjectText bytes, so the row's text still finds its line as a whole word.
qsizetype nameEnd(const TextView &text, qsizetype start, qsizetype lineEnd) {
    if (lineEnd - start <= longestObjectText)
        return lineEnd;
    const char *from = text.data + (start - text.offset);
    for (qsizetype i = longestObjectText; i > 0; --i)
        if (from[i] == ' ')
            return start + i;
    return start + longestObjectText;
}

} // namespace

QList<ObjectRow> scanObjects(const TextView &text) {
    QList<ObjectRow> rows;
    const QByteArray keyword = foldWord(objectKeyword());
    const qsizetype length = text.documentLength;
    qsizetype s = 0;
    qsizetype lineEnd = -1; // of the previous keyword's line
    for (;;) {
        const qsizetype c = findFoldedWholeWord(text, keyword, s, length);
        if (c < 0)
            break;
        ObjectRow row;
        row.keyword = c;
        if (c >= lineEnd)
            lineEnd = lineEndFrom(text, c);
        row.lineEnd = lineEnd;
        row.textStart = std::min(c + keyword.size() + 1, row.lineEnd);
        const QByteArray rest(text.data + (row.textStart - text.offset),
                              nameEnd(text, row.textStart, row.lineEnd) - row.textStart);
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
