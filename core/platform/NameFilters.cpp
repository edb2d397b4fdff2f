#include "core/platform/NameFilters.h"

#include <QRegularExpression>

namespace marlix {

namespace {

// The patterns of a filter entry, whichever of ';' and blanks separate them.
QStringList patternList(const QString &patterns) {
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    return patterns.split(separators, Qt::SkipEmptyParts);
}

// True when the text closes with "(patterns)" naming the same patterns in the same order.
bool endsWithPatterns(const QString &text, const QStringList &patterns) {
    if (!text.endsWith(QLatin1Char(')')))
        return false;
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    if (open < 0)
        return false;
    return patternList(text.mid(open + 1, text.size() - open - 2)) == patterns;
}

} // namespace

QStringList qtNameFilters(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts[i].trimmed();
        const QStringList patterns = patternList(parts[i + 1]);
        if (!patterns.isEmpty() && endsWithPatterns(text, patterns))
            result.append(text);
        else
            result.append(QStringLiteral("%1 (%2)").arg(text, patterns.join(QLatin1Char(' '))));
    }
    return result;
}

QStringList filterPatterns(const QString &filter, int index) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    const qsizetype at = qsizetype(index) * 2 - 1;
    if (index < 1 || at >= parts.size())
        return {};
    return patternList(parts[at]);
}

bool listedUnder(const QString &fileName, bool executable, const QStringList &patterns) {
    if (patterns.isEmpty())
        return true;
    for (const QString &pattern : patterns) {
        if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
            return true;
        if (pattern == QLatin1String("*.")) {
            if (!fileName.contains(QLatin1Char('.')))
                return true;
            continue;
        }
        if (executable && pattern.compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0)
            return true;
        const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                          QRegularExpression::CaseInsensitiveOption);
        if (wildcard.match(fileName).hasMatch())
            return true;
    }
    return false;
}

} // namespace marlix
