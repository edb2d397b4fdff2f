#pragma once

#include "core/lsp/ClientText.h"
#include "core/lsp/ScriptCheck.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The protocol's shapes for the server's facts: addresses, positions, ranges, problems.
namespace marlix {

// A file: address as a path; any other address stays as it is.
QString pathOfUri(const QString &uri);
QString uriOfPath(const QString &path);

TextPosition positionFromJson(const QJsonValue &position);
QJsonObject positionJson(int line, int character);
QJsonObject rangeJson(int line, int character, int endLine, int endCharacter);
// A range within one line (from 0).
QJsonObject lineRangeJson(int line, int column, int length);
QJsonObject locationJson(const QString &path, int line, int column, int length);

QJsonObject diagnosticJson(const ScriptProblem &problem);

} // namespace marlix
