#include "core/level/ScriptLines.h"

#include <cstring>

namespace marlix {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool startsWithFolded(const char *data, qsizetype size, const char *lowerPrefix) {
    const qsizetype n = qsizetype(std::strlen(lowerPrefix));
    if (size < n)
        return false;
    for (qsizetype i = 0; i < n; ++i)
        if (lower(data[i]) != lowerPrefix[i])
            return false;
    return true;
}

bool equalsFolded(const char *data, qsizetype size, const char *lowerWord) {
    return qsizetype(std::strlen(lowerWord)) == size && startsWithFolded(data, size, lowerWord);
}

} // namespace

bool ScriptLine::is(int i, const char *lowerWord) const {
    return i < words.size() && equalsFolded(data + words[i].offset, words[i].size, lowerWord);
}

void forEachScriptLine(const QByteArray &text,
                       const std::function<void(const ScriptLine &)> &visit) {
    const char *data = text.constData();
    const qsizetype size = text.size();
    ScriptLine line;
    line.data = data;
    bool inRemBlock = false;
    qsizetype start = 0;
    int number = 0;
    while (start <= size) {
        ++number;
        qsizetype end = start;
        while (end < size && data[end] != '\n')
            ++end;
        line.words.clear();
        line.number = number;
        line.start = start;
        for (qsizetype i = start; i < end;) {
            while (i < end && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r'))
                ++i;
            if (i >= end)
                break;
            const qsizetype from = i;
            while (i < end && data[i] != ' ' && data[i] != '\t' && data[i] != '\r')
                ++i;
            const char *word = data + from;
            const qsizetype length = i - from;
            if (line.words.isEmpty()) {
                if (inRemBlock) {
                    if (equalsFolded(word, length, "endrem"))
                        inRemBlock = false;
                    break;
                }
                if (equalsFolded(word, length, "beginrem")) {
                    inRemBlock = true;
                    break;
                }
                if (startsWithFolded(word, length, "rem"))
                    break;
            } else if (equalsFolded(word, length, "rem")) {
                break;
            }
            line.words.append({from, length});
        }
        if (!line.words.isEmpty())
            visit(line);
        if (end >= size)
            break;
        start = end + 1;
    }
}

double scriptNumber(const QByteArray &word, bool *ok) {
    bool parsed = false;
    const double value = word.toDouble(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : 0.0;
}

} // namespace marlix
