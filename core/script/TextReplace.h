#pragma once

#include "core/script/TextSearch.h"

#include <QByteArray>
#include <QList>
#include <optional>

// Replace and Replace All. Only the matched bytes change; every byte outside the matches,
// NUL and 0x80-0xFF included, stays as it is.
//
// The replacement of a plain-text search is taken as typed. In a regular-expression search
// the replacement may name the match's groups: \0 is the whole match, \1 to \9 the groups in
// the order of their opening parentheses (a group that took part in no match gives nothing);
// \n, \r and \t give a line feed, a carriage return and a tab, and \\ one backslash. Any other
// backslash stays as written, with the character after it.
namespace marlix {

// One change to the text: `length` bytes at `start` become `bytes`.
struct TextEdit {
    qsizetype start = 0;
    qsizetype length = 0;
    QByteArray bytes;

    bool operator==(const TextEdit &o) const {
        return start == o.start && length == o.length && bytes == o.bytes;
    }
};

// A replacement taken apart once, for a search.
class Replacement {
public:
    Replacement(const TextSearch &search, const QByteArray &text);

    // Empty when the replacement fits the search; otherwise why not, for the find bar
    // (a group the pattern does not have).
    const QString &errorText() const { return m_error; }
    bool isValid() const { return m_error.isEmpty(); }

    // The bytes for a match; `groups` is the regular expression's match (nullptr for a
    // plain-text search).
    QByteArray bytesFor(const QRegularExpressionMatch *groups) const;

private:
    struct Part {
        int group = -1; // -1: the literal bytes
        QByteArray bytes;
    };
    QList<Part> m_parts;
    QString m_error;
};

struct ReplaceAllResult {
    QList<TextEdit> edits; // from the start of the text to its end, none overlapping
    // An invalid search or replacement, or a search the engine gave up: nothing to replace.
    QString errorText;

    qsizetype count() const { return edits.size(); }
};

// Replace: the edit for the match that starts exactly at `pos` (the selection the find bar
// selected), or nothing when no match starts there any more.
std::optional<TextEdit> replaceAt(const TextSearch &search, const TextView &text, qsizetype pos,
                                  const QByteArray &replacement);

// Replace All over the matches starting within [start, end).
ReplaceAllResult replaceAll(const TextSearch &search, const TextView &text,
                            const QByteArray &replacement, qsizetype start, qsizetype end);
ReplaceAllResult replaceAll(const TextSearch &search, const TextView &text,
                            const QByteArray &replacement);

// The text with the edits made (edits in order, none overlapping, positions in `text`).
QByteArray applyEdits(const QByteArray &text, const QList<TextEdit> &edits);

// The edits as one: from the first edit's start to the last one's end, the bytes between the
// edits kept. The editor control reports every change to its owner, and thousands of changes
// in a row cost it seconds (and as much again when they are undone); one change is done and
// undone at once. The view must hold the whole span.
TextEdit combinedEdit(const TextView &text, const QList<TextEdit> &edits);

} // namespace marlix
