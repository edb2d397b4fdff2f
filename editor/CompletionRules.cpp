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

} // namespace marlix
