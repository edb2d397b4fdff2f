#include "core/script/GoToLine.h"

#include <algorithm>

namespace marlix {

LineJump parseGoToLine(const QString &text, int lineCount) {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {0, QStringLiteral("Enter a line number")};
    qsizetype i = (typed[0] == QLatin1Char('+') || typed[0] == QLatin1Char('-')) ? 1 : 0;
    if (i == typed.size())
        return {0, QStringLiteral("'%1' is not a line number").arg(typed)};
    for (qsizetype k = i; k < typed.size(); ++k) {
        if (typed[k] < QLatin1Char('0') || typed[k] > QLatin1Char('9'))
            return {0, QStringLiteral("'%1' is not a line number").arg(typed)};
    }
    const int last = std::max(1, lineCount);
    if (typed[0] == QLatin1Char('-'))
        return {1, {}};
    // Digits beyond what fits in an int only mean "far past the end".
    long long value = 0;
    for (qsizetype k = i; k < typed.size() && value <= last; ++k)
        value = value * 10 + (typed[k].unicode() - '0');
    return {static_cast<int>(std::clamp<long long>(value, 1, last)), {}};
}

} // namespace marlix
