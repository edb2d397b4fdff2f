#include "core/modindex/ModProblem.h"

namespace marlix {

namespace {

const char *const kindNames[] = {"undefined-name", "duplicate-name", "missing-file",
                                 "unknown-command", "override"};
const char *const severityNames[] = {"error", "warning", "information"};

bool isControl(uint c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

} // namespace

QString kindName(ModProblem::Kind kind) {
    return QString::fromLatin1(kindNames[kind]);
}

bool kindFromName(const QString &name, ModProblem::Kind &kind) {
    for (int i = 0; i < int(std::size(kindNames)); ++i)
        if (name.compare(QLatin1String(kindNames[i]), Qt::CaseInsensitive) == 0) {
            kind = ModProblem::Kind(i);
            return true;
        }
    return false;
}

QString severityName(ModProblem::Severity severity) {
    return QString::fromLatin1(severityNames[severity]);
}

bool severityFromName(const QString &name, ModProblem::Severity &severity) {
    for (int i = 0; i < int(std::size(severityNames)); ++i)
        if (name.compare(QLatin1String(severityNames[i]), Qt::CaseInsensitive) == 0) {
            severity = ModProblem::Severity(i);
            return true;
        }
    return false;
}

QString printableText(const QString &text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            result += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

QString printableText(const QByteArray &bytes) {
    return printableText(QString::fromLatin1(bytes));
}

} // namespace marlix
