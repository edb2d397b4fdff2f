#include "core/script/CompletionRules.h"

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

int completionTop(int t, int height) {
    return t <= 400 ? t + 13 : t - height;
}

QSize completionListSize(int contentWidth, int areaWidth, int lineHeight, int defaultLineHeight) {
    constexpr int described = completionListSide;
    const int width = std::max(described, std::min(contentWidth, areaWidth));
    const int height = defaultLineHeight > 0 && lineHeight > 0
                           ? (described * lineHeight + defaultLineHeight / 2) / defaultLineHeight
                           : described;
    return QSize(width, height);
}

QPoint completionPlace(int x, int t, QSize size, int right, int bottom) {
    int left = x + 1;
    if (left + size.width() > right)
        left = std::max(0, right - size.width());
    int top = completionTop(t, size.height());
    // Low in the editor the list is above the line already; higher up it goes above only in a
    // text area too short to show it below.
    const int above = t - size.height();
    if (top + size.height() > bottom && above >= 0)
        top = above;
    return QPoint(left, top);
}

} // namespace marlix
