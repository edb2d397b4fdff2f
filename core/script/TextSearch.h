#pragma once

#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <functional>

// The search of the find bar and of Find in Files, over the document's bytes. The text is
// 8-bit: each byte is one character (Latin-1), letter case folds as the whole-word search
// folds it, and "whole word" uses its word characters.
//
// Regular expressions follow the PCRE syntax. "^" and "$" match at every line start and end,
// and CR LF, a lone CR or a lone LF each end a line ("." matches neither CR nor LF). A match
// of no characters (as "^" alone or "x*" between two non-x) is never a match: the bar would
// have nothing to select and Replace All nothing to replace.
//
// A regular expression may take more steps than the text has bytes at each place it is tried
// ("(a+)+$" over a line of a's takes twice as many for every further "a"). The engine gives up
// on a place after MatchStepLimit steps, and so does the search: it stops there and says so,
// rather than pass over the place as if nothing matched.
namespace marlix {

constexpr int MatchStepLimit = 100000;

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
    bool wrapAround = true;
};

struct SearchMatch {
    qsizetype start = -1; // document position, -1: no match
    qsizetype length = 0;
    bool wrapped = false;     // found only by going round the end (or the start) of the text
    qsizetype stoppedAt = -1; // no match: the engine gave up on the place at this position

    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
    bool operator==(const SearchMatch &o) const {
        return start == o.start && length == o.length && wrapped == o.wrapped &&
               stoppedAt == o.stoppedAt;
    }
};

class TextSearch {
public:
    TextSearch(); // an empty pattern: not valid
    TextSearch(const QByteArray &pattern, const SearchOptions &options);

    // An empty pattern or a regular expression that does not compile is not valid; every
    // search then finds nothing and errorText() says why, in words for the find bar.
    bool isValid() const { return m_error.isEmpty(); }
    const QString &errorText() const { return m_error; }
    const QByteArray &pattern() const { return m_pattern; }
    const SearchOptions &options() const { return m_options; }
    // The number of capturing groups of a regular expression; 0 for a plain text.
    int groupCount() const;

    // The match that starts exactly at `pos`, if any: what Replace checks the selection with.
    SearchMatch matchAt(const TextView &text, qsizetype pos) const;
    // The first match starting at or after `from`; with wrap around, else the first match of
    // the text (wrapped set). A search the engine gave up on before a match finds nothing and
    // sets stoppedAt; it never goes on past that place, nor round the end.
    SearchMatch findNext(const TextView &text, qsizetype from) const;
    // The last match starting before `before`; with wrap around, else the last match of the
    // text (wrapped set).
    SearchMatch findPrevious(const TextView &text, qsizetype before) const;
    // The matches starting within [start, end), from left to right, each search going on
    // after the end of the previous match: the marks in view, the count, Replace All.
    // `stoppedAt` (if given) is where the engine gave up, or -1 when the walk was complete.
    QList<SearchMatch> findAll(const TextView &text, qsizetype start, qsizetype end,
                               qsizetype *stoppedAt = nullptr) const;
    qsizetype count(const TextView &text, qsizetype *stoppedAt = nullptr) const;

    // The walk under findAll. `groups` is the regular expression's match (nullptr for a plain
    // text), whose positions count from the start of the view. Return false to stop. Returns
    // the position where the engine gave up, or -1.
    using MatchVisitor =
        std::function<bool(const SearchMatch &match, const QRegularExpressionMatch *groups)>;
    qsizetype forEachMatch(const TextView &text, qsizetype start, qsizetype end,
                           const MatchVisitor &visit) const;

private:
    struct Subject;
    bool literalAt(const TextView &text, qsizetype pos) const;
    qsizetype literalForward(const TextView &text, qsizetype from, qsizetype end) const;
    qsizetype literalBackward(const TextView &text, qsizetype from, qsizetype before) const;
    QRegularExpressionMatch regexFrom(const Subject &subject, qsizetype from) const;
    qsizetype placeGivenUp(const Subject &subject, qsizetype from) const;
    qsizetype regexLastStart(const Subject &subject, qsizetype from, qsizetype before,
                             qsizetype *length, qsizetype *stoppedAt) const;
    SearchMatch firstFrom(const TextView &text, qsizetype from, qsizetype end) const;
    SearchMatch lastBefore(const TextView &text, qsizetype from, qsizetype before) const;

    QByteArray m_pattern;
    QByteArray m_folded; // plain text without match case: the folded pattern
    unsigned char m_firstLower = 0, m_firstUpper = 0; // the bytes its first byte folds from
    SearchOptions m_options;
    QRegularExpression m_regex;
    bool m_regexChecksWords = false; // whole word is tested after the match, not in the pattern
    QString m_error;
};

// The line (counted from 1) that holds document position `pos`; CR LF, a lone CR or a lone LF
// end a line.
int lineNumberAt(const TextView &text, qsizetype pos);
// What the find bar and Find in Files say of a search the engine gave up.
QString searchStoppedText(int line);

} // namespace marlix
