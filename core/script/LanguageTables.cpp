#include "core/script/LanguageTables.h"

#include "core/common/IntText.h"
#include "core/common/LineFile.h"

namespace marlix {

void fillIntellisenseTable(const QStringList &lines, IntellisenseTable &table) {
    const int count = int(lines.size() / 3);
    table.count = count;
    table.triggers = QStringList(count);
    table.files = QStringList(count);
    table.styles = QList<std::int32_t>(count, 0);
    for (int k = 0; k < count * 3; ++k) {
        const int entry = k / 3;
        switch (k % 3) {
        case 0:
            table.triggers[entry] = lines[k];
            break;
        case 1:
            table.files[entry] = pathFromTextLine(lines[k]);
            break;
        default:
            table.styles[entry] = StrToInt(lines[k]);
            break;
        }
    }
}

void fillHighlightTable(const QStringList &lines, HighlightTable &table) {
    const int count = int(lines.size() / 3);
    table.count = count;
    table.phrases = QStringList(count);
    table.styles = QList<std::int32_t>(count, 0);
    table.colors = QList<TColor>(count, 0);
    for (int k = 0; k < count * 3; ++k) {
        const int entry = k / 3;
        switch (k % 3) {
        case 0:
            table.phrases[entry] = lines[k];
            break;
        case 1:
            table.styles[entry] = StrToInt(lines[k]);
            break;
        default:
            table.colors[entry] = StringToColor(lines[k]);
            break;
        }
    }
}

LineLimits tableFileLimits() {
    return {MaxTableEntries * 3, MaxPathLineBytes, MaxTableFileBytes};
}

LineLimits completionFileLimits() {
    return {MaxCompletionItems, MaxPathLineBytes, MaxTableFileBytes};
}

void readIntellisenseTable(const QString &path, IntellisenseTable &table) {
    table = IntellisenseTable();
    fillIntellisenseTable(readTextLines(path, tableFileLimits()), table);
}

void readHighlightTable(const QString &path, HighlightTable &table) {
    table = HighlightTable();
    fillHighlightTable(readTextLines(path, tableFileLimits()), table);
}

} // namespace marlix
