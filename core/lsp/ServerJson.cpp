#include "core/lsp/ServerJson.h"

#include <QJsonArray>
#include <QUrl>

namespace marlix {

QString pathOfUri(const QString &uri) {
    const QUrl url(uri);
    return url.isLocalFile() ? url.toLocalFile() : uri;
}

QString uriOfPath(const QString &path) {
    if (!path.startsWith(QLatin1Char('/')))
        return path; // an address that was never a file
    return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
}

TextPosition positionFromJson(const QJsonValue &position) {
    return {position[QLatin1String("line")].toInt(), position[QLatin1String("character")].toInt()};
}

QJsonObject positionJson(int line, int character) {
    return {{"line", line}, {"character", character}};
}

QJsonObject rangeJson(int line, int character, int endLine, int endCharacter) {
    return {{"start", positionJson(line, character)}, {"end", positionJson(endLine, endCharacter)}};
}

QJsonObject lineRangeJson(int line, int column, int length) {
    return rangeJson(line, column, line, column + length);
}

QJsonObject locationJson(const QString &path, int line, int column, int length) {
    return {{"uri", uriOfPath(path)}, {"range", lineRangeJson(line, column, length)}};
}

QJsonObject diagnosticJson(const ScriptProblem &problem) {
    QJsonObject diagnostic{{"range", lineRangeJson(problem.line, problem.column, problem.length)},
                           {"severity", int(problem.severity)},
                           {"code", QString::fromLatin1(problem.kind)},
                           {"source", "marlix"},
                           {"message", problem.message}};
    if (!problem.relatedFile.isEmpty())
        diagnostic.insert(
            "relatedInformation",
            QJsonArray{QJsonObject{
                {"location", locationJson(problem.relatedFile, problem.relatedLine, 0, 0)},
                {"message", problem.relatedMessage}}});
    QJsonArray suggestions;
    for (const QByteArray &word : problem.suggestions)
        suggestions.append(clientText(word));
    if (!suggestions.isEmpty())
        diagnostic.insert("data", QJsonObject{{"suggestions", suggestions}});
    return diagnostic;
}

} // namespace marlix
