#pragma once

#include "core/lsp/ModView.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The mod check's problems of one script as it stands in the client, unsaved text included.
// This is the one place that knows the mod check's rules and words.
namespace marlix {

struct ScriptProblem {
    enum Severity { Error = 1, Warning = 2, Information = 3 };
    QByteArray kind; // the mod check's kinds: "undefined-name", "duplicate-name", ...
    Severity severity = Error;
    int line = 0; // from 0
    int column = 0;
    int length = 0;
    QString message;
    // Where the problem began (the first definition of a name defined again).
    QString relatedFile;
    int relatedLine = 0; // from 0
    QString relatedMessage;
    // Words that would mend it, each replacing the problem's range.
    QByteArrayList suggestions;
};

// The remark line that keeps a problem of a kind off the line after it.
QByteArray ignoreRemark(const QByteArray &kind);

QList<ScriptProblem> checkOpenScript(const ModView &view, OpenScript &script);

} // namespace marlix
