#include "core/workspace/QuickOpenRanking.h"

#include <algorithm>

namespace marlix {

namespace {

constexpr int LineLimit = 100000000;

QString lettersOf(QStringView text) {
    QString letters;
    letters.reserve(text.size());
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        letters.append(c == QLatin1Char('\\') ? QLatin1Char('/') : c);
    }
    return letters;
}

// "12" as a line number; 0 for anything else.
int lineNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 9)
        return 0;
    bool ok = false;
    const int line = text.toInt(&ok);
    return ok && line > 0 && line <= LineLimit ? line : 0;
}

} // namespace

QuickOpenQuery parseQuickOpenQuery(const QString &input) {
    QuickOpenQuery query;
    const QString trimmed = input.trimmed();
    if (trimmed.startsWith(QLatin1Char('@'))) {
        query.kind = QuickOpenQuery::Name;
        query.text = lettersOf(QStringView(trimmed).mid(1));
        return query;
    }
    const qsizetype colon = trimmed.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const int line = lineNumber(QStringView(trimmed).mid(colon + 1).trimmed());
        if (line > 0 || colon == trimmed.size() - 1) {
            query.line = line;
            query.text = lettersOf(QStringView(trimmed).left(colon));
            query.kind = query.text.isEmpty() ? QuickOpenQuery::Line : QuickOpenQuery::Path;
            return query;
        }
    }
    query.text = lettersOf(trimmed);
    return query;
}

bool isSubsequence(QStringView query, QStringView text) {
    qsizetype at = 0;
    for (QChar c : query) {
        at = text.indexOf(c, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

void QuickOpenRanking::setCandidates(const QStringList &candidates) {
    m_candidates.clear();
    m_candidates.reserve(candidates.size());
    for (const QString &text : candidates) {
        Candidate candidate;
        candidate.text = text;
        candidate.folded = text.toCaseFolded();
        candidate.nameStart = int(candidate.folded.lastIndexOf(QLatin1Char('/')) + 1);
        m_candidates.push_back(std::move(candidate));
    }
}

QList<int> QuickOpenRanking::rank(const QString &query, int limit) const {
    const QString wanted = lettersOf(query).toCaseFolded();
    // Where a query holding "/" is looked for in the name: only after its own last folder.
    const bool hasFolder = wanted.contains(QLatin1Char('/'));
    struct Hit {
        int index;
        int grade; // 0 name begins with it, 1 name holds it, 2 name holds its letters, 3 path
        int length;
    };
    std::vector<Hit> hits;
    for (int i = 0; i < int(m_candidates.size()); ++i) {
        const Candidate &candidate = m_candidates[size_t(i)];
        const QStringView name = QStringView(candidate.folded).mid(candidate.nameStart);
        int grade;
        if (wanted.isEmpty())
            grade = 0;
        else if (!hasFolder && name.startsWith(wanted))
            grade = 0;
        else if (!hasFolder && name.contains(wanted))
            grade = 1;
        else if (!hasFolder && isSubsequence(wanted, name))
            grade = 2;
        else if (isSubsequence(wanted, candidate.folded))
            grade = 3;
        else
            continue;
        hits.push_back({i, grade, int(candidate.text.size())});
    }
    const auto better = [this](const Hit &a, const Hit &b) {
        if (a.grade != b.grade)
            return a.grade < b.grade;
        if (a.length != b.length)
            return a.length < b.length;
        const Candidate &x = m_candidates[size_t(a.index)];
        const Candidate &y = m_candidates[size_t(b.index)];
        return x.folded != y.folded ? x.folded < y.folded : a.index < b.index;
    };
    const size_t count = std::min(hits.size(), size_t(std::max(limit, 0)));
    std::partial_sort(hits.begin(), hits.begin() + qsizetype(count), hits.end(), better);
    QList<int> ranked;
    ranked.reserve(qsizetype(count));
    for (size_t k = 0; k < count; ++k)
        ranked.append(hits[k].index);
    return ranked;
}

} // namespace marlix
