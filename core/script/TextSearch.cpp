#include "core/script/TextSearch.h"

#include <algorithm>
#include <cstring>

namespace marlix {

namespace {

qsizetype viewStart(const TextView &text) {
    return text.offset;
}
qsizetype viewEnd(const TextView &text) {
    return std::min(text.offset + text.size, text.documentLength);
}

// The word characters of the whole-word search as a character class, so that a regular
// expression asks for word boundaries in the pattern itself and can still backtrack to a
// shorter or longer match that stands as a whole word.
QString wordClass() {
    QString cls = QStringLiteral("[");
    for (int c = 0; c < 256; ++c) {
        if (isWordByte(static_cast<unsigned char>(c)))
            cls += QStringLiteral("\\x{%1}").arg(c, 0, 16);
    }
    return cls + QLatin1Char(']');
}

// Scripts end their lines in CR LF, and some in a lone CR or LF.
const QString lineEnds = QStringLiteral("(*ANYCRLF)");
const QString stepLimit = QStringLiteral("(*LIMIT_MATCH=%1)").arg(MatchStepLimit);

} // namespace

// The regular expression's view of the text: each byte one character, so that positions in
// the string are byte positions counted from the start of the view.
struct TextSearch::Subject {
    QString string;
    qsizetype start = 0; // document position of string[0]
    const TextView &view;

    explicit Subject(const TextView &text) : start(viewStart(text)), view(text) {
        const qsizetype size = std::max<qsizetype>(0, viewEnd(text) - start);
        string = QString::fromLatin1(text.data + (start - text.offset), size);
    }
};

TextSearch::TextSearch() : m_error(QStringLiteral("Enter the text to find")) {}

TextSearch::TextSearch(const QByteArray &pattern, const SearchOptions &options)
    : m_pattern(pattern), m_options(options) {
    if (pattern.isEmpty()) {
        m_error = QStringLiteral("Enter the text to find");
        return;
    }
    if (!options.regularExpression) {
        if (!options.matchCase) {
            m_folded = foldWord(pattern);
            m_firstLower = m_firstUpper = m_folded[0];
            for (int c = 0; c < 256; ++c) {
                if (foldByte(c) == m_firstLower && c != m_firstLower)
                    m_firstUpper = c;
            }
        }
        return;
    }
    QRegularExpression::PatternOptions flags = QRegularExpression::MultilineOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    const QString raw = QString::fromLatin1(pattern);
    // The error and its place refer to what the user typed, not to the wrapped pattern.
    const QRegularExpression typed(raw, flags);
    if (!typed.isValid()) {
        m_error = QStringLiteral("Not a valid regular expression: %1 (at character %2)")
                      .arg(typed.errorString())
                      .arg(typed.patternErrorOffset() + 1);
        return;
    }
    QStringList candidates;
    if (options.wholeWord) {
        const QString word = wordClass();
        // "\E" ends a "\Q" quote left open at the end of the pattern, so the wrapper stays.
        candidates << lineEnds + QStringLiteral("(?<!%1)(?:%2\\E)(?!%1)").arg(word, raw);
    }
    candidates << lineEnds + raw << raw;
    for (QString &candidate : candidates)
        candidate.prepend(stepLimit);
    for (const QString &candidate : candidates) {
        m_regex = QRegularExpression(candidate, flags);
        if (m_regex.isValid())
            break;
    }
    // A pattern the wrapper cannot hold (an extended-mode comment running to its end, say)
    // still gets whole words, tested on each match.
    m_regexChecksWords = options.wholeWord && m_regex.pattern() != candidates.front();
    m_regex.optimize();
}

int TextSearch::groupCount() const {
    return m_options.regularExpression && isValid() ? m_regex.captureCount() : 0;
}

bool TextSearch::literalAt(const TextView &text, qsizetype pos) const {
    const qsizetype n = m_pattern.size();
    if (pos < viewStart(text) || pos + n > viewEnd(text))
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(text.data + (pos - text.offset));
    if (m_options.matchCase) {
        if (std::memcmp(p, m_pattern.constData(), n) != 0)
            return false;
    } else {
        const auto &fold = byteClasses().fold;
        const auto *w = reinterpret_cast<const unsigned char *>(m_folded.constData());
        for (qsizetype i = 0; i < n; ++i) {
            if (fold[p[i]] != w[i])
                return false;
        }
    }
    return !m_options.wholeWord || isWholeWordAt(text, pos, n);
}

qsizetype TextSearch::literalForward(const TextView &text, qsizetype from, qsizetype end) const {
    const qsizetype n = m_pattern.size();
    const qsizetype stop = std::min(end, viewEnd(text) - n + 1); // last start + 1
    from = std::max(from, viewStart(text));
    const char *base = text.data - text.offset; // base[pos] is the byte at document pos
    if (m_options.matchCase) {
        for (qsizetype pos = from; pos < stop; ++pos) {
            const void *hit = memmem(base + pos, stop - pos + n - 1, m_pattern.constData(), n);
            if (!hit)
                return -1;
            pos = static_cast<const char *>(hit) - base;
            if (!m_options.wholeWord || isWholeWordAt(text, pos, n))
                return pos;
        }
        return -1;
    }
    // The first byte in either letter case, each found by memchr, which is many times faster
    // than looking at every byte.
    auto next = [&](unsigned char c, qsizetype pos) {
        const void *hit = std::memchr(base + pos, c, stop - pos);
        return hit ? static_cast<const char *>(hit) - base : stop;
    };
    qsizetype nextLower = -1, nextUpper = m_firstUpper == m_firstLower ? stop : -1;
    for (qsizetype pos = from; pos < stop; ++pos) {
        if (nextLower < pos)
            nextLower = next(m_firstLower, pos);
        if (nextUpper < pos)
            nextUpper = next(m_firstUpper, pos);
        pos = std::min(nextLower, nextUpper);
        if (pos >= stop)
            return -1;
        if (literalAt(text, pos))
            return pos;
    }
    return -1;
}

qsizetype TextSearch::literalBackward(const TextView &text, qsizetype from,
                                      qsizetype before) const {
    from = std::max(from, viewStart(text));
    for (qsizetype pos = std::min(before, viewEnd(text) - m_pattern.size() + 1) - 1; pos >= from;
         --pos) {
        if (literalAt(text, pos))
            return pos;
    }
    return -1;
}

QRegularExpressionMatch TextSearch::regexFrom(const Subject &subject, qsizetype from) const {
    // The subject comes from Latin-1 and is valid UTF-16; checking it would cost a pass over the
    // whole text at every call.
    return m_regex.match(subject.string, std::max<qsizetype>(0, from - subject.start),
                         QRegularExpression::NormalMatch,
                         QRegularExpression::DontCheckSubjectStringMatchOption);
}

qsizetype TextSearch::placeGivenUp(const Subject &subject, qsizetype from) const {
    // The engine does not say where it gave up. Every place before it was tried and held no
    // match, so trying the places one by one from `from` meets it again, at no greater cost.
    const qsizetype end = subject.start + subject.string.size();
    for (qsizetype pos = std::max(from, subject.start); pos < end; ++pos) {
        const QRegularExpressionMatch m =
            m_regex.match(subject.string, pos - subject.start, QRegularExpression::NormalMatch,
                          QRegularExpression::AnchorAtOffsetMatchOption |
                              QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!m.isValid())
            return pos;
    }
    return std::max(from, subject.start);
}

SearchMatch TextSearch::firstFrom(const TextView &text, qsizetype from, qsizetype end) const {
    if (!isValid())
        return {};
    if (!m_options.regularExpression) {
        const qsizetype pos = literalForward(text, from, end);
        return pos < 0 ? SearchMatch{} : SearchMatch{pos, m_pattern.size(), false};
    }
    SearchMatch found;
    const qsizetype stopped = forEachMatch(
        text, from, end, [&](const SearchMatch &match, const QRegularExpressionMatch *) {
            found = match;
            return false;
        });
    if (stopped >= 0)
        found.stoppedAt = stopped;
    return found;
}

qsizetype TextSearch::regexLastStart(const Subject &subject, qsizetype from, qsizetype before,
                                     qsizetype *length, qsizetype *stoppedAt) const {
    qsizetype last = -1;
    for (qsizetype pos = from; pos < before;) {
        const QRegularExpressionMatch m = regexFrom(subject, pos);
        if (!m.isValid()) {
            // Only a place before `before` is one this search has to pass; a match after it is
            // still nearer the caret, so the walk goes on past it.
            const qsizetype place = placeGivenUp(subject, pos);
            if (place >= before)
                break;
            *stoppedAt = place;
            pos = place + 1;
            continue;
        }
        if (!m.hasMatch())
            break;
        const qsizetype start = subject.start + m.capturedStart();
        if (start >= before)
            break;
        const qsizetype len = m.capturedLength();
        if (len > 0 && (!m_regexChecksWords || isWholeWordAt(subject.view, start, len))) {
            last = start;
            *length = len;
        }
        // Every place where a match starts counts, overlapping ones too: going back from a
        // match must reach the one just before it, wherever the forward walk would start.
        pos = start + 1;
    }
    return last;
}

SearchMatch TextSearch::lastBefore(const TextView &text, qsizetype from, qsizetype before) const {
    if (!isValid())
        return {};
    from = std::max(from, viewStart(text));
    before = std::min(before, viewEnd(text));
    if (!m_options.regularExpression) {
        const qsizetype pos = literalBackward(text, from, before);
        return pos < 0 ? SearchMatch{} : SearchMatch{pos, m_pattern.size(), false};
    }
    const Subject subject(text);
    // Windows growing backwards from `before`, so that the match next to the caret costs only
    // the text near it.
    qsizetype hi = before;
    for (qsizetype width = 4096; hi > from; width *= 4) {
        const qsizetype lo = std::max(from, hi - width);
        qsizetype length = 0;
        qsizetype stopped = -1;
        const qsizetype start = regexLastStart(subject, lo, hi, &length, &stopped);
        if (start >= 0 && start > stopped)
            return {start, length, false};
        if (stopped >= 0) {
            SearchMatch none;
            none.stoppedAt = stopped;
            return none;
        }
        hi = lo;
    }
    return {};
}

SearchMatch TextSearch::matchAt(const TextView &text, qsizetype pos) const {
    if (!isValid() || pos < viewStart(text) || pos >= viewEnd(text))
        return {};
    if (!m_options.regularExpression)
        return literalAt(text, pos) ? SearchMatch{pos, m_pattern.size(), false} : SearchMatch{};
    const Subject subject(text);
    const QRegularExpressionMatch m =
        m_regex.match(subject.string, pos - subject.start, QRegularExpression::NormalMatch,
                      QRegularExpression::AnchorAtOffsetMatchOption |
                          QRegularExpression::DontCheckSubjectStringMatchOption);
    if (!m.hasMatch() || m.capturedLength() == 0 ||
        (m_regexChecksWords && !isWholeWordAt(text, pos, m.capturedLength())))
        return {};
    return {pos, m.capturedLength(), false};
}

SearchMatch TextSearch::findNext(const TextView &text, qsizetype from) const {
    from = std::clamp(from, viewStart(text), std::max(viewStart(text), viewEnd(text)));
    SearchMatch match = firstFrom(text, from, viewEnd(text));
    if (!match.found() && match.stoppedAt < 0 && m_options.wrapAround) {
        match = firstFrom(text, viewStart(text), from);
        match.wrapped = match.found();
    }
    return match;
}

SearchMatch TextSearch::findPrevious(const TextView &text, qsizetype before) const {
    before = std::clamp(before, viewStart(text), std::max(viewStart(text), viewEnd(text)));
    SearchMatch match = lastBefore(text, viewStart(text), before);
    if (!match.found() && match.stoppedAt < 0 && m_options.wrapAround) {
        match = lastBefore(text, before, viewEnd(text));
        match.wrapped = match.found();
    }
    return match;
}

qsizetype TextSearch::forEachMatch(const TextView &text, qsizetype start, qsizetype end,
                                   const MatchVisitor &visit) const {
    if (!isValid())
        return -1;
    start = std::max(start, viewStart(text));
    end = std::min(end, viewEnd(text));
    if (!m_options.regularExpression) {
        const qsizetype n = m_pattern.size();
        for (qsizetype pos = literalForward(text, start, end); pos >= 0;
             pos = literalForward(text, pos + n, end)) {
            if (!visit({pos, n, false}, nullptr))
                return -1;
        }
        return -1;
    }
    const Subject subject(text);
    for (qsizetype pos = start; pos < end;) {
        const QRegularExpressionMatch m = regexFrom(subject, pos);
        if (!m.isValid()) {
            const qsizetype place = placeGivenUp(subject, pos);
            return place < end ? place : -1;
        }
        if (!m.hasMatch())
            return -1;
        const SearchMatch match{subject.start + m.capturedStart(), m.capturedLength(), false};
        if (match.start >= end)
            return -1;
        if (match.length == 0 ||
            (m_regexChecksWords && !isWholeWordAt(text, match.start, match.length))) {
            pos = match.start + 1;
            continue;
        }
        if (!visit(match, &m))
            return -1;
        pos = match.end();
    }
    return -1;
}

QList<SearchMatch> TextSearch::findAll(const TextView &text, qsizetype start, qsizetype end,
                                       qsizetype *stoppedAt) const {
    QList<SearchMatch> matches;
    const qsizetype stopped = forEachMatch(
        text, start, end, [&](const SearchMatch &match, const QRegularExpressionMatch *) {
            matches.append(match);
            return true;
        });
    if (stoppedAt)
        *stoppedAt = stopped;
    return matches;
}

qsizetype TextSearch::count(const TextView &text, qsizetype *stoppedAt) const {
    qsizetype n = 0;
    const qsizetype stopped =
        forEachMatch(text, viewStart(text), viewEnd(text),
                     [&](const SearchMatch &, const QRegularExpressionMatch *) {
                         ++n;
                         return true;
                     });
    if (stoppedAt)
        *stoppedAt = stopped;
    return n;
}

int lineNumberAt(const TextView &text, qsizetype pos) {
    const qsizetype start = viewStart(text);
    const qsizetype end = viewEnd(text);
    const qsizetype stop = std::min(pos, end);
    const char *base = text.data - text.offset;
    int line = 1;
    for (qsizetype i = start; i < stop; ++i) {
        const char c = base[i];
        // CR LF is one line end: the LF counts it.
        if (c == '\n' || (c == '\r' && (i + 1 >= end || base[i + 1] != '\n')))
            ++line;
    }
    return line;
}

QString searchStoppedText(int line) {
    return QStringLiteral("search stopped: pattern too complex at line %1").arg(line);
}

} // namespace marlix
