#include "editor/CompletionRules.h"

#include <QFileInfo>
#include <algorithm>

namespace marlix {

int findTriggerAtCaret(const TextView &text, const QByteArrayList &foldedTriggers, qsizetype caret,
                       qsizetype &codeStart) {
    codeStart = -1;
    for (int i = 0; i < foldedTriggers.size(); ++i) {
        const qsizetype len = foldedTriggers[i].size();
        codeStart = findFoldedWholeWord(text, foldedTriggers[i], caret - len, len);
        if (codeStart >= 0)
            return i;
    }
    return -1;
}

QString completionFilePath(const QString &fileName, const QString &programFolder) {
    if (fileName.isEmpty())
        return QString();
    if (QFileInfo(fileName).isFile())
        return fileName;
    const QString inFolder = programFolder + fileName;
    if (QFileInfo(inFolder).isFile())
        return inFolder;
    return QString();
}

QStringList sortCompletionItems(QStringList items) {
    std::stable_sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return items;
}

int selectByPrefix(const QStringList &items, const QString &prefix) {
    const int count = int(items.size());
    for (int k = 1; k <= count; ++k) {
        const int i = k % count;
        if (items[i].startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

int completionTop(int t) {
    return t <= 400 ? t + 13 : t - 150;
}

QPoint completionPlace(int x, int t, int size, int right, int bottom) {
    int left = x + 1;
    if (left + size > right)
        left = std::max(0, right - size);
    int top = completionTop(t);
    // Low in the editor the list is above the line already; higher up it goes above only in a
    // text area too short to show it below.
    const int above = t - 150;
    if (top + size > bottom && above >= 0)
        top = above;
    return QPoint(left, top);
}

} // namespace marlix
