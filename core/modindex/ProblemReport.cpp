#include "core/modindex/ProblemReport.h"

#include "core/common/LineFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <algorithm>

namespace marlix {

namespace {

const char baselineHeader[] = "# marlix-modcheck baseline: script, kind, name, line text";

// C1 control characters pass QJsonDocument unescaped; a terminal showing the output could take
// them for commands. Their UTF-8 form (C2 80-9F) occurs only inside strings.
QByteArray escapeC1(QByteArray json) {
    QByteArray out;
    out.reserve(json.size());
    for (qsizetype i = 0; i < json.size(); ++i) {
        const unsigned char c = json[i];
        if (c == 0xc2 && i + 1 < json.size() && (unsigned char)json[i + 1] >= 0x80 &&
            (unsigned char)json[i + 1] <= 0x9f) {
            out += "\\u00" + QByteArray::number((unsigned char)json[i + 1], 16);
            ++i;
        } else {
            out += char(c);
        }
    }
    return out;
}

QString uriOf(const QString &file) {
    if (file.startsWith(QLatin1Char('/')))
        return QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded());
    return QString::fromLatin1(QUrl::toPercentEncoding(file, "/"));
}

QJsonObject sarifLocation(const QString &file, int line, int column = 0, int endColumn = 0) {
    QJsonObject region{{"startLine", line}};
    if (endColumn > column) {
        region.insert("startColumn", column + 1);
        region.insert("endColumn", endColumn + 1);
    }
    return QJsonObject{
        {"physicalLocation",
         QJsonObject{{"artifactLocation", QJsonObject{{"uri", uriOf(file)}}}, {"region", region}}}};
}

QByteArray escapeField(const QByteArray &field) {
    QByteArray out;
    for (const char ch : field) {
        const unsigned char c = ch;
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7f)
            out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
        else
            out += ch;
    }
    return out;
}

} // namespace

QByteArray problemsJson(const QList<ModProblem> &problems) {
    QJsonArray array;
    for (const ModProblem &p : problems) {
        QJsonObject object{{"file", p.file},
                           {"line", p.line},
                           {"column", p.column + 1},
                           {"endColumn", p.endColumn + 1},
                           {"severity", severityName(p.severity)},
                           {"kind", kindName(p.kind)},
                           {"name", printableText(p.name)},
                           {"message", p.message},
                           {"suggestions", QJsonArray::fromStringList(p.suggestions)}};
        if (p.kind == ModProblem::DuplicateName || p.kind == ModProblem::Override)
            object.insert("related", QJsonObject{{"file", p.relatedFile}, {"line", p.relatedLine}});
        array.append(object);
    }
    return escapeC1(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

QByteArray problemsSarif(const QList<ModProblem> &problems, const QString &version) {
    static const char *const descriptions[] = {
        "A name that no script read with this one defines",
        "A name defined twice in one load of the game", "An include or run line that names no file",
        "A command that no table of known commands holds",
        "A level's or the mod's definition of a name defined before it"};
    static const char *const levels[] = {"error", "warning", "note"};
    QJsonArray rules;
    for (int kind = 0; kind <= ModProblem::Override; ++kind)
        rules.append(QJsonObject{
            {"id", kindName(ModProblem::Kind(kind))},
            {"shortDescription", QJsonObject{{"text", QLatin1String(descriptions[kind])}}}});
    QJsonArray results;
    for (const ModProblem &p : problems) {
        QJsonObject result{
            {"ruleId", kindName(p.kind)},
            {"ruleIndex", int(p.kind)},
            {"level", QLatin1String(levels[p.severity])},
            {"message", QJsonObject{{"text", p.message}}},
            {"locations", QJsonArray{sarifLocation(p.file, p.line, p.column, p.endColumn)}}};
        if (!p.relatedFile.isEmpty()) {
            QJsonObject related = sarifLocation(p.relatedFile, p.relatedLine);
            related.insert("id", 1);
            related.insert("message",
                           QJsonObject{{"text", QStringLiteral("the other definition")}});
            result.insert("relatedLocations", QJsonArray{related});
        }
        results.append(result);
    }
    const QJsonObject driver{{"name", "marlix-modcheck"}, {"version", version}, {"rules", rules}};
    const QJsonObject log{{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                          {"version", "2.1.0"},
                          {"runs", QJsonArray{QJsonObject{{"tool", QJsonObject{{"driver", driver}}},
                                                          {"results", results}}}}};
    return escapeC1(QJsonDocument(log).toJson(QJsonDocument::Indented));
}

QByteArray Baseline::key(const QString &script, const ModProblem &problem,
                         const QByteArray &lineText) {
    return escapeField(QFile::encodeName(script)) + '\t' + kindName(problem.kind).toLatin1() +
           '\t' + escapeField(problem.name) + '\t' + escapeField(lineText.trimmed());
}

void Baseline::add(const QString &script, const ModProblem &problem, const QByteArray &lineText) {
    ++m_counts[key(script, problem, lineText)];
}

bool Baseline::take(const QString &script, const ModProblem &problem, const QByteArray &lineText) {
    const auto it = m_counts.find(key(script, problem, lineText));
    if (it == m_counts.end() || *it <= 0)
        return false;
    --*it;
    return true;
}

int Baseline::size() const {
    int total = 0;
    for (int count : m_counts)
        total += count;
    return total;
}

QByteArray Baseline::toBytes() const {
    QByteArrayList lines;
    for (auto it = m_counts.constBegin(); it != m_counts.constEnd(); ++it)
        for (int i = 0; i < it.value(); ++i)
            lines.append(it.key());
    std::sort(lines.begin(), lines.end());
    lines.prepend(baselineHeader);
    return lines.join('\n') + '\n';
}

bool Baseline::fromBytes(const QByteArray &bytes) {
    QHash<QByteArray, int> counts;
    for (const QByteArray &line : splitLines(bytes)) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.count('\t') != 3)
            return false;
        ++counts[line];
    }
    m_counts = counts;
    return true;
}

} // namespace marlix
