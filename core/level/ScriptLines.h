#pragma once

#include <QByteArray>
#include <QVarLengthArray>
#include <functional>

// The code lines of a script as blank-separated words, for the readers of levels and
// templates. Remarks are left out: a line whose first word begins with "rem" (also the
// decorations such as "rem*****"), the rest of a line after a "rem" word, and the lines from
// "beginRem" to "endRem".
namespace marlix {

struct ScriptWord {
    qsizetype offset = 0; // from the start of the script
    qsizetype size = 0;
};

struct ScriptLine {
    int number = 0;             // counting from 1
    qsizetype start = 0;        // of the line, from the start of the script
    const char *data = nullptr; // the script's bytes
    QVarLengthArray<ScriptWord, 8> words;

    QByteArray word(int i) const {
        return i < words.size() ? QByteArray(data + words[i].offset, words[i].size) : QByteArray();
    }
    // The word ignoring letter case, compared with a lower-case literal.
    bool is(int i, const char *lower) const;
};

// Calls `visit` for each code line that holds at least one word.
void forEachScriptLine(const QByteArray &text,
                       const std::function<void(const ScriptLine &)> &visit);

// A number as scripts write it; 0 and false for anything else.
double scriptNumber(const QByteArray &word, bool *ok = nullptr);

} // namespace marlix
