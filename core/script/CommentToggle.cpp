#include "core/script/CommentToggle.h"

#include "core/script/WordSearch.h"

namespace marlix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

qsizetype firstNonBlank(const QByteArray &line) {
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return i;
}

bool blankLine(const QByteArray &line) {
    return firstNonBlank(line) == line.size();
}

} // namespace

bool startsWithRem(const QByteArray &lineText) {
    const qsizetype at = firstNonBlank(lineText);
    return findWholeWord(TextView::whole(lineText), QByteArrayLiteral("rem"), at, 3) == at;
}

QList<std::optional<LineEdit>> commentToggleEdits(const QByteArrayList &lines) {
    QList<std::optional<LineEdit>> edits(lines.size());
    bool anyText = false;
    bool allCommented = true;
    for (const QByteArray &line : lines) {
        if (blankLine(line))
            continue;
        anyText = true;
        allCommented = allCommented && startsWithRem(line);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (!anyText) {
            edits[i] = LineEdit{0, 0, QByteArrayLiteral("rem ")};
        } else if (blankLine(line)) {
            continue;
        } else if (allCommented) {
            const qsizetype at = firstNonBlank(line);
            const bool blankAfter = at + 3 < line.size() && isBlank(line[at + 3]);
            edits[i] = LineEdit{at, blankAfter ? 4 : 3, QByteArray()};
        } else if (!startsWithRem(line)) {
            edits[i] = LineEdit{0, 0, QByteArrayLiteral("rem ")};
        }
    }
    return edits;
}

} // namespace marlix
